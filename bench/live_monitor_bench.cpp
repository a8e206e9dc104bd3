// How close the live monitor comes to the bare cost of its capture, on a 1920x1080 desktop at
// refresh delay 0: (a) a loop of one HALFTONE StretchBlt 1920x1080 -> 320x240 plus one GetDIBits,
// against (b) the frames per second and CPU time per frame that the stand-in panel library
// receives from LiveMonitorFeeder (hints on), with one panel and with four.
//
// Run by hand under Wine from the build's bin folder (a desktop of 1920x1080 is needed):
//   wine live_monitor_bench.exe [seconds per measurement, default 5] [rounds, default 3]
// The three measurements are taken in turn, round after round, and each figure is the median of
// its rounds: on a shared machine the load drifts, and this keeps the drift out of the ratios.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "feeds/live_monitor.h"
#include "feeds/slot_table.h"
#include "feeds/worker_supervision.h"
#include "tests/feeds/in_process_panels.h"

namespace {

using panelcast::Slots;

struct Figures {
  double fps = 0;           // frames per second, all panels together
  double cpuMsPerFrame = 0;  // CPU time of the capturing threads per frame
};

double CpuMs(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) return 0;
  auto ms = [](const FILETIME& t) {
    return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
  };
  return ms(kernel) + ms(user);
}

void PumpFor(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

Figures BareCaptureLoop(int width, int height, DWORD seconds) {
  HDC screen = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 320, 240);
  HGDIOBJ old = SelectObject(memory, bitmap);
  SetStretchBltMode(memory, HALFTONE);
  SetBrushOrgEx(memory, 0, 0, nullptr);
  BITMAP description{};
  GetObjectW(bitmap, sizeof(description), &description);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = description.bmWidth;
  info.bmiHeader.biHeight = description.bmHeight;
  info.bmiHeader.biPlanes = description.bmPlanes;
  info.bmiHeader.biBitCount = description.bmBitsPixel;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<unsigned char> pixels(static_cast<size_t>(description.bmBitsPixel / 8) * 320 * 240);

  HANDLE self = GetCurrentThread();
  const double cpuStart = CpuMs(self);
  const DWORD start = GetTickCount();
  int frames = 0;
  while (GetTickCount() - start < seconds * 1000) {
    StretchBlt(memory, 0, 0, 320, 240, screen, 0, 0, width, height, SRCCOPY);
    GetDIBits(memory, bitmap, 0, 240, pixels.data(), &info, DIB_RGB_COLORS);
    ++frames;
  }
  const double elapsed = (GetTickCount() - start) / 1000.0;
  Figures figures{frames / elapsed, (CpuMs(self) - cpuStart) / frames};
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  DeleteDC(screen);
  return figures;
}

uint32_t FramesReceived(int panelCount) {
  uint32_t frames = 0;
  for (int i = 0; i < panelCount; ++i) {
    const auto panel = feeds_test::Panels().Panel(feeds_test::SerialOfSlot(i));
    if (panel && !panel->pages.empty()) frames += panel->pages[0].imageCount;
  }
  return frames;
}

Figures LiveMonitor(int panelCount, int width, int height, DWORD seconds) {
  for (int i = 0; i < panelCount; ++i) {
    panelcast::DeviceSlot& slot = Slots()->slots[i];
    slot.captureRect.left = 0;
    slot.captureRect.top = 0;
    slot.captureRect.right = width;
    slot.captureRect.bottom = height;
    slot.screenFlag = 1;
    slot.refreshDelay = 0;
    slot.showHints = 1;
    if (!panelcast::StartWorker(i, panelcast::kModeLiveMonitor, panelcast::LiveMonitorFeeder)) {
      std::fprintf(stderr, "worker %d did not start\n", i);
      std::exit(2);
    }
  }
  PumpFor(2500);  // splash and light sweep, then a few frames to settle

  double cpuStart = 0;
  for (int i = 0; i < panelCount; ++i) cpuStart += CpuMs(Slots()->slots[i].ownedThread);
  const uint32_t framesStart = FramesReceived(panelCount);
  const DWORD start = GetTickCount();
  PumpFor(seconds * 1000);
  const uint32_t frames = FramesReceived(panelCount) - framesStart;
  const double elapsed = (GetTickCount() - start) / 1000.0;
  double cpuEnd = 0;
  for (int i = 0; i < panelCount; ++i) cpuEnd += CpuMs(Slots()->slots[i].ownedThread);

  for (int i = 0; i < panelCount; ++i) panelcast::StopWorker(i);
  return {frames / elapsed, frames ? (cpuEnd - cpuStart) / frames : 0};
}

Figures Median(std::vector<Figures> rounds) {
  auto middle = [&](auto field) {
    std::vector<double> values;
    for (const Figures& f : rounds) values.push_back(f.*field);
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
  };
  return {middle(&Figures::fps), middle(&Figures::cpuMsPerFrame)};
}

uint32_t PatternColour(int x, int y) {
  return ((x * 255 / 1920) << 16) | ((y * 255 / 1080) << 8) | (((x / 40 + y / 40) % 2) * 255);
}

}  // namespace

int main(int argc, char** argv) {
  const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 5;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  if (width != 1920 || height != 1080) {
    std::fprintf(stderr, "needs a 1920x1080 desktop, this one is %dx%d\n", width, height);
    return 2;
  }
  std::string problem;
  if (!feeds_test::LoadInProcessPanels(4, problem)) {
    std::fprintf(stderr, "panels: %s\n", problem.c_str());
    return 2;
  }
  feeds_test::PatternWindow desktop({0, 0, width, height}, PatternColour);
  if (!desktop.WaitUntilShown(5000)) {
    std::fprintf(stderr, "the pattern did not reach the screen\n");
    return 2;
  }
  HDC dc = GetDC(nullptr);
  const int depth = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(nullptr, dc);

  std::vector<Figures> bareRounds, oneRounds, fourRounds;
  for (int r = 0; r < rounds; ++r) {
    bareRounds.push_back(BareCaptureLoop(width, height, seconds));
    oneRounds.push_back(LiveMonitor(1, width, height, seconds));
    fourRounds.push_back(LiveMonitor(4, width, height, seconds));
  }
  const Figures bare = Median(bareRounds), one = Median(oneRounds), four = Median(fourRounds);

  std::printf("desktop %dx%d at %d bits, refresh delay 0, hints on; medians of %d rounds of %lu s\n",
              width, height, depth, rounds, static_cast<unsigned long>(seconds));
  std::printf("%-34s %10s %14s %12s %12s\n", "", "fps", "CPU ms/frame", "fps (b)/(a)",
              "CPU (b)/(a)");
  std::printf("%-34s %10.1f %14.2f\n", "(a) bare StretchBlt + GetDIBits", bare.fps,
              bare.cpuMsPerFrame);
  std::printf("%-34s %10.1f %14.2f %12.3f %12.3f\n", "(b) live monitor, 1 panel", one.fps,
              one.cpuMsPerFrame, one.fps / bare.fps, one.cpuMsPerFrame / bare.cpuMsPerFrame);
  std::printf("%-34s %10.1f %14.2f %12.3f %12.3f\n", "(b) live monitor, 4 panels (sum)", four.fps,
              four.cpuMsPerFrame, four.fps / bare.fps, four.cpuMsPerFrame / bare.cpuMsPerFrame);
  std::printf("    4 panels, per panel: %.1f fps\n", four.fps / 4);
  std::printf("target: fps (b)/(a) >= 0.95; CPU (b)/(a) <= 1/0.95 = 1.053\n");
  return 0;
}
