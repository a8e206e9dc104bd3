// What the live monitor's end-to-end tests share: a pattern on the screen painted by a thread of
// its own, the program with its panels, starting the live monitor as a user does, and reading
// what the panels received.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/messages.h"
#include "resources/resource_ids.h"
#include "tests/feeds/in_process_panels.h"
#include "tests/shell/shell_test_support.h"

namespace livetest {

using driver::Near;
using driver::StartToolOn;
using driver::TypeRect;
using shelltest::kTimeoutMs;

// Main window controls.
enum : int {
  kList = IDC_DEVICE_LIST, kStart = IDC_START, kStop = IDC_STOP, kSetup = IDC_SETUP,
  kModeLive = IDC_MODE_LIVE_MONITOR, kLeft = IDC_LEFT, kRight = IDC_RIGHT, kTop = IDC_TOP,
  kBottom = IDC_BOTTOM, kTrackbar = IDC_DELAY_TRACKBAR, kDelayText = IDC_DELAY_TEXT,
  kHints = IDC_SHOW_HINTS,
};

// A pattern window (see feeds_test::PatternWindow) owned and painted by its own thread, so that
// it stays painted while the test waits without pumping messages.
class ScreenPattern {
 public:
  ScreenPattern(const RECT& rect, std::function<uint32_t(int x, int y)> colourAt);
  ~ScreenPattern();
  ScreenPattern(const ScreenPattern&) = delete;
  ScreenPattern& operator=(const ScreenPattern&) = delete;
  bool Shown() const { return shown_; }

 private:
  std::thread thread_;
  DWORD threadId_ = 0;
  bool shown_ = false;
};

// Four quadrants: red top-left, green top-right, blue bottom-left, white bottom-right.
uint32_t Quadrants(int width, int height, int x, int y);
// Above the centred main window and message boxes, so nothing of the program covers it.
inline constexpr RECT kQuadrantsRect{0, 0, 480, 360};
// The expected 0x00RRGGBB colour of frame pixel (x, y from the top) for the quadrant pattern.
uint32_t ExpectedQuadrantColour(int x, int y);

// The quadrants on the screen at kQuadrantsRect, and the program. A run costs seconds under
// Wine, so the tests of a test program share one: Run() keeps the run the last test left while
// it still has the same panels, and starts a fresh one otherwise. Tests leave their panels idle.
class LiveRun : public ::testing::Test {
 protected:
  void SetUp() override;
  static void TearDownTestSuite();
  // `panels` as shelltest::StartWithPanels takes them; false when the program did not start.
  bool Run(const std::wstring& panels, driver::LaunchOptions options = {});
  driver::PanelSession& Session();
  emu::PanelControl& Panels() { return *Session().panels; }
  DWORD Pid() { return Session().program->Id(); }

  std::unique_ptr<ScreenPattern> pattern_;
  HWND main_ = nullptr;
};

// The quadrants and a run of its own with one panel, past start-up.
class QuadrantsAndOnePanel : public LiveRun {
 protected:
  void SetUp() override;
  std::unique_ptr<driver::PanelSession> session_;
};

// StartToolOn for the live monitor.
bool StartLiveMonitorOn(HWND main, int line, const RECT& rect, int delayStep = -1);
// Waits until START and STOP show the selected panel running (or idle).
bool ShowsRunning(HWND main, bool running);
// Waits until the panel has (or has no) pages of the program.
bool HasPages(emu::PanelControl& panels, const std::string& serial, bool pages);

// SetImage calls of a panel so far (blanking included) for page 1, from the emulator.
uint32_t ImageCount(emu::PanelControl& panels, const std::string& serial, uint32_t page = 1);
// Waits until the panel has received `more` images beyond what it had, then returns the last one.
std::vector<uint8_t> NextFrame(emu::PanelControl& panels, const std::string& serial,
                               uint32_t more = 2, DWORD timeoutMs = kTimeoutMs);

// The names of the calls a panel received, in order, from the emulator's log.
std::vector<std::string> CallNames(emu::PanelControl& panels, const std::string& serial);
// The panel's calls as feeds_test::DescribeCall gives them; only those of `name` when given.
std::vector<std::string> Calls(emu::PanelControl& panels, const std::string& serial,
                               const std::string& name = {});

// A message of the program as the user sees it.
shelltest::ExpectedBox BoxOf(const panelcast::Message& message);

// The window that has the keyboard focus in the program's GUI thread.
HWND FocusedWindow(HWND main);

// Bitmap `id` of the program (bin/Panelcast.exe loaded as data): 230400 pixel bytes, or empty.
std::vector<uint8_t> ProgramBitmap(int id);

}  // namespace livetest
