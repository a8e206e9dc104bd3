// What the live monitor's end-to-end tests share: a pattern on the screen painted by a thread of
// its own, typing a rectangle into the main window and starting the live monitor as a user does,
// and reading what the panel received.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/feeds/in_process_panels.h"
#include "tests/shell/shell_test_support.h"

namespace livetest {

using shelltest::kTimeoutMs;

// Main window controls.
enum : int {
  kList = 1000, kStart = 1012, kStop = 1027, kSetup = 1013, kModeLive = 1021, kLeft = 1022,
  kRight = 1023, kTop = 1024, kBottom = 1025, kTrackbar = 1020, kDelayText = 1026, kHints = 1036,
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

// The quadrants on the screen at kQuadrantsRect and the program with one panel, past start-up.
class QuadrantsAndOnePanel : public ::testing::Test {
 protected:
  void SetUp() override;

  std::unique_ptr<ScreenPattern> pattern_;
  std::unique_ptr<driver::PanelSession> session_;
  HWND main_ = nullptr;
};

using driver::StartToolOn;
using driver::TypeRect;
// StartToolOn for the live monitor.
bool StartLiveMonitorOn(HWND main, int line, const RECT& rect, int delayStep = -1);

// SetImage calls of a panel so far (blanking included) for page 1, from the emulator.
uint32_t ImageCount(emu::PanelControl& panels, const std::string& serial, uint32_t page = 1);

// Waits until the panel has received `more` images beyond what it had, then returns the last one.
std::vector<uint8_t> NextFrame(emu::PanelControl& panels, const std::string& serial,
                               uint32_t more = 2, DWORD timeoutMs = kTimeoutMs);

// The expected 0x00RRGGBB colour of frame pixel (x, y from the top) for the quadrant pattern.
uint32_t ExpectedQuadrantColour(int x, int y);

using driver::Near;

// The names of the calls a panel received, in order, from the emulator's log.
std::vector<std::string> CallNames(emu::PanelControl& panels, const std::string& serial);

// The window that has the keyboard focus in the program's GUI thread.
HWND FocusedWindow(HWND main);

}  // namespace livetest

namespace livetest {

// Bitmap `id` of the program (bin/Panelcast.exe loaded as data): 230400 pixel bytes, or empty.
std::vector<uint8_t> ProgramBitmap(int id);

}  // namespace livetest
