// Stopping every thread at exit with the window's messages: each stall is told to the user while
// the stuck threads still run, before they are forced to end. Main thread.
#pragma once

#include <windows.h>

namespace panelcast {

// StopAllWorkers (feeds/worker_supervision.h) with its messages owned by `window`.
void StopAllWorkersTellingUser(HWND window);

}  // namespace panelcast
