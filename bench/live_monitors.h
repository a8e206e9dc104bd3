// Live monitors on the in-process panels (in_process_panels.h), as the benchmarks run them:
// refresh delay 0, hints on, the frames counted as the stand-in panel library received them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "tests/live/live_test_support.h"

namespace benchrig {

// The desktop the live benchmarks measure on: it must be 1920x1080; `panelCount` in-process
// panels are loaded and the desktop covered with `colourAt`. Gives the pattern (kept while
// measuring) and the desktop's bits per pixel in `depth`; null after telling stderr why not.
std::unique_ptr<livetest::ScreenPattern> PrepareDesktop(
    int panelCount, std::function<uint32_t(int x, int y)> colourAt, int& depth);

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
