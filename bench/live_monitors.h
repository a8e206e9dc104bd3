// Live monitors on the in-process panels (in_process_panels.h), as the benchmarks run them:
// refresh delay 0, hints on, the frames counted as the stand-in panel library received them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace benchrig {

// Starts a live monitor on slot i for each sources[i], then waits out the splash and the light
// sweep so that what follows measures frames only. A worker that does not start ends the
// benchmark with status 2.
void StartLiveMonitors(const std::vector<RECT>& sources);
void StopLiveMonitors(int panelCount);

// Frames received so far by the first `panelCount` panels together, on their live page.
uint32_t FramesReceived(int panelCount);
// CPU time of the first `panelCount` feeders' threads together, in milliseconds.
double FeederCpuMs(int panelCount);

}  // namespace benchrig
