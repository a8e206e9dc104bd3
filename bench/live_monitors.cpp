#include "bench/live_monitors.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_timing.h"
#include "bench/in_process_panels.h"
#include "devices/slot_table.h"
#include "feeds/worker_supervision.h"
#include "monitor/live_monitor.h"

namespace benchrig {

std::unique_ptr<livetest::ScreenPattern> PrepareDesktop(
    int panelCount, std::function<uint32_t(int x, int y)> colourAt, int& depth) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  if (width != 1920 || height != 1080) {
    std::fprintf(stderr, "needs a 1920x1080 desktop, this one is %dx%d\n", width, height);
    return nullptr;
  }
  std::string problem;
  if (!LoadInProcessPanels(panelCount, problem)) {
    std::fprintf(stderr, "panels: %s\n", problem.c_str());
    return nullptr;
  }
  auto pattern = std::make_unique<livetest::ScreenPattern>(RECT{0, 0, width, height}, colourAt);
  if (!pattern->Shown()) {
    std::fprintf(stderr, "the pattern did not reach the screen\n");
    return nullptr;
  }
  HDC dc = GetDC(nullptr);
  depth = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(nullptr, dc);
  return pattern;
}

void StartLiveMonitors(const std::vector<RECT>& sources) {
  for (int i = 0; i < static_cast<int>(sources.size()); ++i) {
    panelcast::DeviceSlot& slot = panelcast::Slots()->slots[i];
    slot.captureRect.left = sources[i].left;
    slot.captureRect.top = sources[i].top;
    slot.captureRect.right = sources[i].right;
    slot.captureRect.bottom = sources[i].bottom;
    slot.screenFlag = 1;
    slot.refreshDelay = 0;
    slot.showHints = 1;
    if (!panelcast::StartWorker(i, panelcast::kModeLiveMonitor, panelcast::LiveMonitorFeeder)) {
      std::fprintf(stderr, "worker %d did not start\n", i);
      std::exit(2);
    }
  }
  PumpFor(2500);  // splash and light sweep, then a few frames to settle
}

void StopLiveMonitors(int panelCount) {
  for (int i = 0; i < panelCount; ++i) panelcast::StopWorker(i);
}

uint32_t FramesReceived(int panelCount) {
  uint32_t frames = 0;
  for (int i = 0; i < panelCount; ++i) {
    const auto panel = Panels().Panel(SerialOfSlot(i));
    if (panel && !panel->pages.empty()) frames += panel->pages[0].imageCount;
  }
  return frames;
}

double FeederCpuMs(int panelCount) {
  double ms = 0;
  for (int i = 0; i < panelCount; ++i) ms += ThreadCpuMs(panelcast::Slots()->slots[i].ownedThread);
  return ms;
}

}  // namespace benchrig
