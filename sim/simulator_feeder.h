// The start the two simulator tools share (FSX live view, GPS gauge): they refuse to run while
// the simulator is not running, with a notice that the user must close first.
#pragma once

#include <windows.h>

#include "feeds/frame_pipeline.h"

namespace panelcast {

// Asks once whether the simulator runs. When it does, runs the screen feeder `config` on the slot
// and returns its exit code; when not, shows "...is not started..." owned by the main window on
// this worker thread, and once the user has closed it gives up (exit code 1) without touching
// the panel.
DWORD RunSimulatorFeeder(int slotIndex, const ScreenFeederConfig& config);

}  // namespace panelcast
