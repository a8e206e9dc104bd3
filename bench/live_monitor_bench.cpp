// How close the live monitor comes to the bare cost of its capture, on a 1920x1080 desktop at
// refresh delay 0: (a) loops of one HALFTONE StretchBlt 1920x1080 -> 320x240 plus one GetDIBits,
// on one thread and on four threads at once (what one and four panels cost the platform), against
// (b) the frames per second and CPU time per frame that the stand-in panel library receives from
// LiveMonitorFeeder (hints on), with one panel and with four at once.
//
// Run by hand under Wine from the build's bin folder (a desktop of 1920x1080 is needed):
//   wine live_monitor_bench.exe [seconds per measurement, default 5] [rounds, default 3]
// The four measurements are taken in turn, round after round, and each figure is the median of
// its rounds: on a shared machine the load drifts, and this keeps the drift out of the ratios.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "bench/in_process_panels.h"
#include "bench/live_monitors.h"
#include "tests/live/live_test_support.h"

namespace {

struct Figures {
  double fps = 0;            // frames per second, all panels together
  double cpuMsPerFrame = 0;  // CPU time of the capturing threads per frame
};

// One thread's bare capture loop: its own device contexts and bitmap, as each feeder has.
struct BareLoop {
  int width = 0;
  int height = 0;
  DWORD seconds = 0;
  HANDLE ready = nullptr;        // set by the loop's thread once its capture objects exist
  HANDLE startSignal = nullptr;  // set once every thread is ready, so the loops overlap fully
  int frames = 0;                // written by the loop's thread before it ends; read after the join
  double elapsedSeconds = 0;     // likewise
  double cpuMs = 0;  // likewise; taken by the thread itself (Wine has no times for ended threads)
};

DWORD WINAPI RunBareLoop(void* argument) {
  BareLoop& loop = *static_cast<BareLoop*>(argument);
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

  SetEvent(loop.ready);
  WaitForSingleObject(loop.startSignal, INFINITE);
  // A real handle: Wine reports no times through the pseudo-handle of a thread other than the
  // first.
  HANDLE self = OpenThread(THREAD_QUERY_INFORMATION, FALSE, GetCurrentThreadId());
  const double cpuStart = benchrig::ThreadCpuMs(self);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < loop.seconds * 1000) {
    StretchBlt(memory, 0, 0, 320, 240, screen, 0, 0, loop.width, loop.height, SRCCOPY);
    GetDIBits(memory, bitmap, 0, 240, pixels.data(), &info, DIB_RGB_COLORS);
    ++loop.frames;
  }
  loop.elapsedSeconds = (GetTickCount() - start) / 1000.0;
  loop.cpuMs = benchrig::ThreadCpuMs(self) - cpuStart;
  CloseHandle(self);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  DeleteDC(screen);
  return 0;
}

// `threadCount` bare loops at once: what that many panels cost the platform without the feeder.
Figures BareCaptureLoops(int threadCount, int width, int height, DWORD seconds) {
  HANDLE startSignal = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::vector<BareLoop> loops(threadCount, BareLoop{width, height, seconds, nullptr, startSignal});
  std::vector<HANDLE> threads, ready;
  for (BareLoop& loop : loops) {
    loop.ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ready.push_back(loop.ready);
    threads.push_back(CreateThread(nullptr, 0, RunBareLoop, &loop, 0, nullptr));
  }
  WaitForMultipleObjects(static_cast<DWORD>(ready.size()), ready.data(), TRUE, INFINITE);
  SetEvent(startSignal);
  WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, INFINITE);
  double fps = 0, cpu = 0;
  int frames = 0;
  for (int i = 0; i < threadCount; ++i) {
    fps += loops[i].frames / loops[i].elapsedSeconds;
    frames += loops[i].frames;
    cpu += loops[i].cpuMs;
    CloseHandle(threads[i]);
    CloseHandle(ready[i]);
  }
  CloseHandle(startSignal);
  return {fps, frames ? cpu / frames : 0};
}

Figures LiveMonitor(int panelCount, int width, int height, DWORD seconds) {
  benchrig::StartLiveMonitors(std::vector<RECT>(panelCount, RECT{0, 0, width, height}));
  const double cpuStart = benchrig::FeederCpuMs(panelCount);
  const uint32_t framesStart = benchrig::FramesReceived(panelCount);
  const DWORD start = GetTickCount();
  benchrig::PumpFor(seconds * 1000);
  const uint32_t frames = benchrig::FramesReceived(panelCount) - framesStart;
  const double elapsed = (GetTickCount() - start) / 1000.0;
  const double cpuEnd = benchrig::FeederCpuMs(panelCount);
  benchrig::StopLiveMonitors(panelCount);
  return {frames / elapsed, frames ? (cpuEnd - cpuStart) / frames : 0};
}

Figures Median(const std::vector<Figures>& rounds) {
  auto middle = [&](auto field) {
    std::vector<double> values;
    for (const Figures& f : rounds) values.push_back(f.*field);
    return benchrig::Median(values);
  };
  return {middle(&Figures::fps), middle(&Figures::cpuMsPerFrame)};
}

// One row; the ratios compare (b) with the (a) of the same panel count.
void PrintRow(const char* name, const Figures& row, const Figures& bare) {
  std::printf("%-40s %10.1f %14.2f %12.3f %12.3f\n", name, row.fps, row.cpuMsPerFrame,
              row.fps / bare.fps, row.cpuMsPerFrame / bare.cpuMsPerFrame);
}

uint32_t PatternColour(int x, int y) {
  return ((x * 255 / 1920) << 16) | ((y * 255 / 1080) << 8) | (((x / 40 + y / 40) % 2) * 255);
}

}  // namespace

int main(int argc, char** argv) {
  const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 5;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const int width = 1920, height = 1080;
  int depth = 0;
  const auto desktop = benchrig::PrepareDesktop(4, PatternColour, depth);
  if (!desktop) return 2;

  std::vector<Figures> bareOneRounds, bareFourRounds, oneRounds, fourRounds;
  for (int r = 0; r < rounds; ++r) {
    bareOneRounds.push_back(BareCaptureLoops(1, width, height, seconds));
    oneRounds.push_back(LiveMonitor(1, width, height, seconds));
    bareFourRounds.push_back(BareCaptureLoops(4, width, height, seconds));
    fourRounds.push_back(LiveMonitor(4, width, height, seconds));
  }
  const Figures bareOne = Median(bareOneRounds), bareFour = Median(bareFourRounds);
  const Figures one = Median(oneRounds), four = Median(fourRounds);

  std::printf(
      "desktop %dx%d at %d bits, refresh delay 0, hints on; medians of %d rounds of %lu s\n", width,
      height, depth, rounds, static_cast<unsigned long>(seconds));
  std::printf("%-40s %10s %14s %12s %12s\n", "", "fps (sum)", "CPU ms/frame", "fps (b)/(a)",
              "CPU (b)/(a)");
  PrintRow("(a) bare StretchBlt + GetDIBits, 1 thread", bareOne, bareOne);
  PrintRow("(b) live monitor, 1 panel", one, bareOne);
  PrintRow("(a) bare loops, 4 threads at once", bareFour, bareFour);
  PrintRow("(b) live monitors, 4 panels at once", four, bareFour);
  std::printf("    4 panels, per panel: %.1f fps (bare, per thread: %.1f fps)\n", four.fps / 4,
              bareFour.fps / 4);
  std::printf("target: fps (b)/(a) >= 0.95; CPU (b)/(a) <= 1/0.95 = 1.053\n");
  return 0;
}
