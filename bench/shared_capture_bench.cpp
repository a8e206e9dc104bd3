// What one shared read of the screen saves when several live monitors run at once, against the
// path where each feeder reads the screen itself: frames per second, and CPU time per frame of
// this program and of the X server together, on a 1920x1080 desktop at refresh delay 0, hints on:
//   1p   one panel on the whole screen (a feeder alone reads the screen itself either way);
//   4p   four panels, each on the whole screen;
//   4q   four panels, one on each quadrant (960x540);
//   30p  thirty panels on overlapping 640x480 rectangles that together cover the screen.
// On the still desktop pattern, every panel's last frame of a case must be the same byte for
// byte either way.
//
// Run by hand under Wine from the build's bin folder, on an Xvfb whose arguments name its display
// (`Xvfb :77 -screen 0 1920x1080x24`, DISPLAY=:77), whose CPU time is read from /proc:
//   wine shared_capture_bench.exe [seconds per measurement, default 5] [rounds, default 3]
// Each round measures every case both ways (own reads, then shared) in turn, and each figure is
// the median of its rounds: on a shared machine the load drifts, and this keeps the drift out of
// the ratios. The last line gives shared/own frames per CPU second for each case.
// Targets: 1p >= 0.95, 4p >= 1.6, 30p >= 1.35, frames identical.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "bench/in_process_panels.h"
#include "bench/live_monitors.h"
#include "bench/process_cpu.h"
#include "feeds/shared_screen_read.h"
#include "tests/live/live_test_support.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr int kMostPanels = 30;

struct Case {
  const char* name;
  std::vector<RECT> sources;  // slot i's
  bool fewReads;              // shared, far fewer reads of the screen than frames
};

std::vector<Case> Cases() {
  Case one{"1p", {{0, 0, kWidth, kHeight}}, false};
  Case four{"4p", std::vector<RECT>(4, RECT{0, 0, kWidth, kHeight}), true};
  Case quadrants{"4q", {}, false};
  for (int q = 0; q < 4; ++q) {
    const int x = q % 2 * kWidth / 2, y = q / 2 * kHeight / 2;
    quadrants.sources.push_back({x, y, x + kWidth / 2, y + kHeight / 2});
  }
  Case thirty{"30p", {}, true};
  for (int i = 0; i < kMostPanels; ++i) {
    const int x = i % 6 * 256, y = i / 6 * 150;
    thirty.sources.push_back({x, y, x + 640, y + 480});
  }
  return {one, four, quadrants, thirty};
}

struct Processes {
  std::wstring program;
  std::wstring xServer;
};

struct Figures {
  double fps = 0;                // all panels together
  double programMsPerFrame = 0;  // CPU time of this whole process per frame
  double xMsPerFrame = 0;        // CPU time of the X server per frame
  double totalMsPerFrame = 0;
  double framesPerCpuSecond = 0;
  double readsPerFrame = 0;  // reads of the shared copy
};

struct Run {
  Figures figures;
  uint64_t reads = 0;
  uint32_t frames = 0;
  std::vector<std::vector<uint8_t>> lastFrames;  // slot i's, taken while the feeders still run
};

long long CpuTicks(const std::wstring& folder) {
  const long long ticks = benchrig::ProcessCpuTicks(folder);
  if (ticks < 0) {
    std::fwprintf(stderr, L"cannot read %ls\\stat\n", folder.c_str());
    std::exit(2);
  }
  return ticks;
}

Run Measure(const Case& c, bool shared, DWORD seconds, const Processes& processes) {
  const int panels = static_cast<int>(c.sources.size());
  panelcast::SetScreenReadSharing(shared);
  benchrig::StartLiveMonitors(c.sources);

  const long long programStart = CpuTicks(processes.program);
  const long long xStart = CpuTicks(processes.xServer);
  const uint64_t readsStart = panelcast::SharedScreenReads();
  const uint32_t framesStart = benchrig::FramesReceived(panels);
  const DWORD start = GetTickCount();
  benchrig::PumpFor(seconds * 1000);
  Run run;
  run.frames = benchrig::FramesReceived(panels) - framesStart;
  run.reads = panelcast::SharedScreenReads() - readsStart;
  const double elapsed = (GetTickCount() - start) / 1000.0;
  const long long programTicks = CpuTicks(processes.program) - programStart;
  const long long xTicks = CpuTicks(processes.xServer) - xStart;

  for (int i = 0; i < panels; ++i) {
    run.lastFrames.push_back(benchrig::Panels().Image(benchrig::SerialOfSlot(i), 1));
  }
  benchrig::StopLiveMonitors(panels);

  Figures& f = run.figures;
  const double frames = std::max<uint32_t>(run.frames, 1);
  f.fps = run.frames / elapsed;
  f.programMsPerFrame = programTicks * benchrig::kMsPerClockTick / frames;
  f.xMsPerFrame = xTicks * benchrig::kMsPerClockTick / frames;
  f.totalMsPerFrame = f.programMsPerFrame + f.xMsPerFrame;
  f.framesPerCpuSecond = f.totalMsPerFrame > 0 ? 1000 / f.totalMsPerFrame : 0;
  f.readsPerFrame = run.reads / frames;
  return run;
}

Figures Median(const std::vector<Figures>& rounds) {
  auto middle = [&](double Figures::*field) {
    std::vector<double> values;
    for (const Figures& f : rounds) values.push_back(f.*field);
    return benchrig::Median(values);
  };
  return {middle(&Figures::fps),
          middle(&Figures::programMsPerFrame),
          middle(&Figures::xMsPerFrame),
          middle(&Figures::totalMsPerFrame),
          middle(&Figures::framesPerCpuSecond),
          middle(&Figures::readsPerFrame)};
}

// Bytes that differ between the two runs' last frames, all panels together (a missing frame
// counts as all of its bytes).
size_t DifferingBytes(const Run& own, const Run& shared) {
  size_t differing = 0;
  for (size_t i = 0; i < own.lastFrames.size(); ++i) {
    const std::vector<uint8_t>& a = own.lastFrames[i];
    const std::vector<uint8_t>& b = shared.lastFrames[i];
    if (a.empty() || a.size() != b.size()) {
      differing += std::max<size_t>({a.size(), b.size(), 1});
      continue;
    }
    for (size_t k = 0; k < a.size(); ++k) differing += a[k] != b[k];
  }
  return differing;
}

// Whether the shared run shared as it should: a panel alone reads on its own, several at once
// take most frames from a shared read (the four on the whole screen and the thirty from far
// fewer reads than frames); the own runs never read for all.
bool SharedAsExpected(const Case& c, const Run& own, const Run& shared) {
  if (own.reads != 0) return false;
  if (c.sources.size() == 1) return shared.reads == 0;
  return shared.reads > 0 && (!c.fewReads || shared.reads * 2 < shared.frames);
}

// Gradients under fine checks of several pitches: a stretch that rounded any differently from
// another would show in the frames.
uint32_t DetailedPattern(int x, int y) {
  const int red = (x * 255 / (kWidth - 1)) ^ ((x + y) % 2 * 0x1f);
  const int green = (y * 255 / (kHeight - 1)) ^ ((x / 2 + y) % 2 * 0x2c);
  const int blue = (x / 3 + y / 3) % 2 * 200 + x * y % 56;
  return static_cast<uint32_t>(red << 16 | green << 8 | blue);
}

void PrintRow(const char* name, const char* path, const Figures& f, bool shared) {
  std::printf("%-5s %-7s %10.1f %13.2f %13.2f %10.2f %14.1f", name, path, f.fps,
              f.programMsPerFrame, f.xMsPerFrame, f.totalMsPerFrame, f.framesPerCpuSecond);
  if (shared) {
    std::printf(" %12.3f\n", f.readsPerFrame);
  } else {
    std::printf(" %12s\n", "-");
  }
}

}  // namespace

int main(int argc, char** argv) {
  const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::max(1, std::atoi(argv[1]))) : 5;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  char display[64] = {};
  GetEnvironmentVariableA("DISPLAY", display, sizeof(display));
  Processes processes{benchrig::OwnProcessFolder(), benchrig::XServerFolder(display)};
  if (processes.program.empty()) {
    std::fprintf(stderr, "this program's process is not found in Z:\\proc\n");
    return 2;
  }
  if (processes.xServer.empty()) {
    std::fprintf(stderr, "no Xvfb with \"%s\" in its arguments in Z:\\proc\n", display);
    return 2;
  }
  int depth = 0;
  const auto desktop = benchrig::PrepareDesktop(kMostPanels, DetailedPattern, depth);
  if (!desktop) return 2;

  const std::vector<Case> cases = Cases();
  std::vector<std::vector<Figures>> ownRounds(cases.size()), sharedRounds(cases.size());
  std::vector<size_t> differing(cases.size(), 0);
  std::vector<bool> sharedWell(cases.size(), true);
  for (int r = 0; r < rounds; ++r) {
    for (size_t c = 0; c < cases.size(); ++c) {
      const Run own = Measure(cases[c], false, seconds, processes);
      const Run shared = Measure(cases[c], true, seconds, processes);
      ownRounds[c].push_back(own.figures);
      sharedRounds[c].push_back(shared.figures);
      differing[c] += DifferingBytes(own, shared);
      if (!SharedAsExpected(cases[c], own, shared)) {
        sharedWell[c] = false;
        std::fprintf(stderr,
                     "%s, round %d: %llu reads for all in the own run, %llu in the shared "
                     "one for %lu frames\n",
                     cases[c].name, r + 1, static_cast<unsigned long long>(own.reads),
                     static_cast<unsigned long long>(shared.reads),
                     static_cast<unsigned long>(shared.frames));
      }
    }
  }
  panelcast::SetScreenReadSharing(true);

  std::printf(
      "desktop %dx%d at %d bits, refresh delay 0, hints on; medians of %d rounds of %lu s\n",
      kWidth, kHeight, depth, rounds, static_cast<unsigned long>(seconds));
  auto pid = [](const std::wstring& folder) {
    return folder.substr(folder.find_last_of(L'\\') + 1);
  };
  std::printf("CPU time from /proc: this process (pid %ls) and the X server (Xvfb %s, pid %ls)\n",
              pid(processes.program).c_str(), display, pid(processes.xServer).c_str());
  std::printf("%-5s %-7s %10s %13s %13s %10s %14s %12s\n", "case", "path", "fps (sum)",
              "ms/f program", "ms/f X", "ms/f total", "frames/CPU s", "reads/frame");
  std::vector<double> ratios;
  bool identical = true;
  for (size_t c = 0; c < cases.size(); ++c) {
    const Figures own = Median(ownRounds[c]), shared = Median(sharedRounds[c]);
    PrintRow(cases[c].name, "own", own, false);
    PrintRow(cases[c].name, "shared", shared, true);
    ratios.push_back(own.framesPerCpuSecond > 0 ? shared.framesPerCpuSecond / own.framesPerCpuSecond
                                                : 0);
    if (differing[c] != 0) {
      identical = false;
      std::printf("%s: %zu bytes of the last frames differ (all panels, all rounds)\n",
                  cases[c].name, differing[c]);
    }
  }
  std::printf(
      "shared as expected (4p, 30p: under half a read per frame): 1p %s, 4p %s, 4q %s, "
      "30p %s\n",
      sharedWell[0] ? "yes" : "no", sharedWell[1] ? "yes" : "no", sharedWell[2] ? "yes" : "no",
      sharedWell[3] ? "yes" : "no");
  std::printf("targets: 1p >= 0.95, 4p >= 1.6, 30p >= 1.35, frames identical\n");
  std::printf(
      "shared/own frames per CPU second: 1p %.2f, 4p %.2f, 4q %.2f, 30p %.2f, frames "
      "identical: %s\n",
      ratios[0], ratios[1], ratios[2], ratios[3], identical ? "yes" : "no");
  return 0;
}
