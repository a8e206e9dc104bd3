// What the live monitor's end-to-end tests share with other areas: a pattern on the screen,
// starting the live monitor as a user does, and what a panel received and the program holds.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/messages.h"
#include "resources/resource_ids.h"
#include "tests/feeds/in_process_panels.h"
#include "tests/shell/shell_test_support.h"

namespace livetest {

// A topmost window over `rect` whose pixels are `colourAt(x, y)` (from its top-left, 0x00RRGGBB),
// painted by a thread of its own, so that it stays painted while the test waits.
class ScreenPattern {
 public:
  ScreenPattern(const RECT& rect, std::function<uint32_t(int x, int y)> colourAt);
  ~ScreenPattern();
  bool Shown() const { return shown_; }  // the screen showed it at its corners and centre

 private:
  std::thread thread_;
  std::atomic<DWORD> threadId_{0};
  bool shown_ = false;
};

// Four quadrants: red top-left, green top-right, blue bottom-left, white bottom-right.
uint32_t Quadrants(int width, int height, int x, int y);
// Above the centred main window and message boxes, so nothing of the program covers it.
inline constexpr RECT kQuadrantsRect{0, 0, 480, 360};

// driver::StartToolOn for the live monitor.
bool StartLiveMonitorOn(HWND main, int line, const RECT& rect, int delayStep = -1);

// SetImage calls of a panel so far (blanking included) for `page`, from the emulator.
uint32_t ImageCount(emu::PanelControl& panels, const std::string& serial, uint32_t page = 1);
// Waits until the panel has received `more` images beyond what it had, then returns the last one.
std::vector<uint8_t> NextFrame(emu::PanelControl& panels, const std::string& serial,
                               uint32_t more = 2, DWORD timeoutMs = shelltest::kTimeoutMs);

// The window that has the keyboard focus in the program's GUI thread.
HWND FocusedWindow(HWND main);

// Bitmap `id` of the program (bin/Panelcast.exe loaded as data): 230400 pixel bytes, or empty.
std::vector<uint8_t> ProgramBitmap(int id);

}  // namespace livetest
