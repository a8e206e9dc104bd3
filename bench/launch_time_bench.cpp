// How long the program takes to come up: bin/Panelcast.exe started N times with three emulated
// panels, each run timed from just before CreateProcessW to
//   - the main window "Zivovi Panelcast" being visible,
//   - the "Getting hardware info..." notice being shown (under Wine the panels' USB details are
//     not found, so start-up stops there until the notice is answered),
//   - the end of start-up: the first mode button (1014) reads checked. Its check is read with a
//     sent BM_GETCHECK, which the program answers only once its main thread pumps messages
//     again, that is once the window's creation handler has returned;
// then the program is ended with Exit. Median, min and max of each, then one run without panels
// (no notice). The notice is answered as soon as it is seen, so the figure "after the answer"
// is the program's own remaining start-up.
//
// Run under Wine from the build's bin folder, in a prefix where the panel library's registry
// path points at the stand-in DirectOutput.dll:
//   wine bin/launch_time_bench.exe [runs, default 10]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "tests/driver/driver.h"

namespace {

constexpr wchar_t kMainTitle[] = L"Zivovi Panelcast";
constexpr wchar_t kNoticeTitle[] = L"Information";
constexpr int kFirstModeButton = 1014;
constexpr int kExitButton = 1011;
constexpr DWORD kTimeoutMs = 30000;
// Short polls for the notice and the end of start-up: the figures are a few hundred milliseconds.
// The main window is awaited as every test awaits it (driver::WaitForWindow, 15 ms steps), so
// that figure is up to 15 ms late.
constexpr DWORD kPollMs = 1;

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct LaunchTimes {
  double windowMs = 0;                  // main window visible
  std::optional<double> noticeMs;       // notice shown, when one came
  std::optional<double> afterNoticeMs;  // from the notice's answer to the end of start-up
  double readyMs = 0;                   // start-up over (1014 checked)
};

// One launch, timed; nothing (with the reason printed) when the program did not come up as a
// user would see it, so a broken build never yields figures.
std::optional<LaunchTimes> MeasureLaunch(int panels) {
  driver::LaunchOptions options;
  options.environment.emplace_back(L"PANELCAST_EMU_COUNT", std::to_wstring(panels));
  const double start = Now();
  driver::Program program(std::move(options));
  if (!program.Started()) {
    std::printf("  the program did not start (error %lu)\n", program.StartError());
    return std::nullopt;
  }
  const DWORD pid = program.Id();
  LaunchTimes times;

  const HWND main = driver::WaitForWindow(kMainTitle, pid, kTimeoutMs);
  if (!main) {
    std::printf("  no main window within %lu ms\n", kTimeoutMs);
    return std::nullopt;
  }
  times.windowMs = Now() - start;

  // Either the notice comes or start-up ends without one.
  HWND notice = nullptr;
  const bool settled = driver::WaitUntil(
      [&] {
        const auto boxes = driver::MessageBoxWindows(pid);
        if (!boxes.empty()) notice = boxes.front();
        return notice || driver::IsChecked(main, kFirstModeButton);
      },
      kTimeoutMs, kPollMs);
  if (!settled) {
    std::printf("  start-up did not end within %lu ms\n", kTimeoutMs);
    return std::nullopt;
  }
  if (notice) {
    times.noticeMs = Now() - start;
    // Every start-up failure box is titled "Error": the title alone tells the notice apart.
    if (driver::WindowText(notice) != kNoticeTitle) {
      std::printf("  a message box other than the notice came: \"%ls\"\n",
                  driver::WindowText(notice).c_str());
      return std::nullopt;
    }
    const double answered = Now();
    driver::AnswerMessageBox(notice, IDOK);
    if (!driver::WaitUntil([&] { return driver::IsChecked(main, kFirstModeButton); }, kTimeoutMs,
                           kPollMs)) {
      std::printf("  start-up did not end within %lu ms of the notice\n", kTimeoutMs);
      return std::nullopt;
    }
    const double ready = Now();
    times.afterNoticeMs = ready - answered;
    times.readyMs = ready - start;
  } else {
    times.readyMs = Now() - start;
  }

  driver::Click(main, kExitButton);
  const auto exitCode = program.WaitForExit(kTimeoutMs);
  if (!exitCode || *exitCode != 0) {
    std::printf("  Exit did not end the program cleanly\n");
    return std::nullopt;
  }
  return times;
}

struct Spread {
  double median = 0, min = 0, max = 0;
  std::size_t count = 0;
};

Spread SpreadOf(std::vector<double> values) {
  Spread s;
  s.count = values.size();
  if (values.empty()) return s;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  s.min = values.front();
  s.max = values.back();
  return s;
}

void PrintRow(const char* label, const std::vector<double>& values, std::size_t runs) {
  const Spread s = SpreadOf(values);
  if (s.count == 0) {
    std::printf("%-40s %8s %8s %8s   (in none of %zu runs)\n", label, "-", "-", "-", runs);
    return;
  }
  std::printf("%-40s %8.1f %8.1f %8.1f", label, s.median, s.min, s.max);
  if (s.count != runs) std::printf("   (in %zu of %zu runs)", s.count, runs);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  constexpr int kPanels = 3;

  std::vector<double> window, notice, ready, afterNotice;
  int failed = 0;
  for (int run = 1; run <= runs; ++run) {
    const auto times = MeasureLaunch(kPanels);
    if (!times) {
      std::printf("run %d failed\n", run);
      ++failed;
      continue;
    }
    std::printf("run %2d: window %7.1f  notice %7.1f  start-up over %7.1f ms\n", run,
                times->windowMs, times->noticeMs.value_or(0), times->readyMs);
    window.push_back(times->windowMs);
    if (times->noticeMs) notice.push_back(*times->noticeMs);
    if (times->afterNoticeMs) afterNotice.push_back(*times->afterNoticeMs);
    ready.push_back(times->readyMs);
  }

  const std::size_t good = window.size();
  std::printf("\nPanelcast start-up, %d emulated panels, %zu runs, ms from CreateProcess\n", kPanels,
              good);
  std::printf("%-40s %8s %8s %8s\n", "", "median", "min", "max");
  PrintRow("main window visible", window, good);
  PrintRow("notice shown", notice, good);
  PrintRow("start-up over (1014 checked)", ready, good);
  PrintRow("  of which after the notice's answer", afterNotice, good);

  const auto bare = MeasureLaunch(0);
  if (bare) {
    std::printf("\nno panels, 1 run: window visible %.1f ms, start-up over %.1f ms%s\n",
                bare->windowMs, bare->readyMs, bare->noticeMs ? " (a notice came!)" : "");
  } else {
    std::printf("\nno panels: the run failed\n");
    ++failed;
  }
  return failed == 0 ? 0 : 1;
}
