// The start the two simulator tools share (FSX live view, GPS gauge): they refuse to run while
// the simulator is not running, with a notice that the user must close first.
#pragma once

#include <windows.h>

#include "feeds/frame_pipeline.h"

namespace panelcast {

// Told on the worker thread when the simulator is not running, before the tool gives up; it
// returns once the user has dealt with what it showed.
using SimulatorAbsentNotice = void (*)();

// The window's notice (null: none). Main thread, before any simulator tool starts.
void SetSimulatorAbsentNotice(SimulatorAbsentNotice notice);

// Asks once whether the simulator runs. When it does, runs the screen feeder `config` on the slot
// and returns its exit code; when not, tells the notice on this worker thread and, once it has
// returned, gives up (exit code 1) without touching the panel.
DWORD RunSimulatorFeeder(int slotIndex, const ScreenFeederConfig& config);

}  // namespace panelcast
