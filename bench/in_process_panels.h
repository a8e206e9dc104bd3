// The benchmarks' rig for running the feeds inside one process, as the program runs them: the stand-in
// panel library loaded from bin/, its panels enumerated into a slot table of our own, the
// program's bitmaps read from bin/Panelcast.exe, and topmost windows that paint known patterns
// where a capture rectangle will look.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devices/device_slot.h"
#include "emulator/control/panel_control.h"

namespace benchrig {

// Loads the library with `panelCount` panels (EMU0001, EMU0002, ...; slot i holds panel i + 1),
// initialises it, enumerates the panels into a fresh slot table, publishes it and waits for the
// control channel. Once per process; false (with a reason in `problem`) when any step fails.
bool LoadInProcessPanels(int panelCount, std::string& problem);
emu::PanelControl& Panels();
panelcast::SlotTable& Table();
std::string SerialOfSlot(int slotIndex);

// A borderless topmost window over `screenRect` whose every pixel is `colourAt(x, y)` (x, y
// from its top-left corner, colour as 0x00RRGGBB), painted once and left there until destroyed.
class PatternWindow {
 public:
  PatternWindow(const RECT& screenRect, std::function<uint32_t(int x, int y)> colourAt);
  ~PatternWindow();
  PatternWindow(const PatternWindow&) = delete;
  PatternWindow& operator=(const PatternWindow&) = delete;

  HWND Window() const { return window_; }
  // True once the screen shows the pattern at the window's corners and centre.
  bool WaitUntilShown(DWORD timeoutMs) const;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  RECT rect_;
  std::function<uint32_t(int, int)> colourAt_;
  std::vector<uint32_t> pixels_;  // top-down rows
  HWND window_ = nullptr;
};

// Handles the test thread's window messages (painting) for as long as `condition` takes.
bool WaitPumping(const std::function<bool()>& condition, DWORD timeoutMs);

}  // namespace benchrig
