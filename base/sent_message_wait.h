// The wait of a thread that others may be talking to through its windows: it serves the
// messages they send, so no wait can deadlock against a thread that is sending to this one.
#pragma once

#include <windows.h>

namespace panelcast {

// Waits for `handle` while dispatching only messages sent to this thread; posted messages stay
// queued. True when the handle was signalled in time.
bool WaitServingSentMessages(HANDLE handle, DWORD timeoutMs);

}  // namespace panelcast
