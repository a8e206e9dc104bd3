// How one emulated panel is drawn in the viewer and what a point on it means: the 320x240 screen
// at its real size, the six buttons with their lights beside it (level with the rows the
// program's labels use), two encoders below, and the page and remove buttons between them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "emulator/control/panel_control.h"

namespace viewer {

inline constexpr int kPanelWidth = 420;
inline constexpr int kPanelHeight = 372;

struct Hit {
  enum class Kind { None, Button, LeftEncoder, RightEncoder, NextPage, Remove } kind = Kind::None;
  uint32_t button = 0;  // 0x20 .. 0x400 for Kind::Button
};

// `origin` is the panel's top-left corner in the window.
Hit HitTest(POINT origin, POINT point);
// The wheel turns the left encoder over the left half of the panel, the right one elsewhere.
bool OnLeftHalf(POINT origin, POINT point);
void PaintPanel(HDC dc, POINT origin, const emu::PanelInfo& panel,
                const std::vector<uint8_t>* screen, uint32_t pressed);
// The page that follows the shown one: our pages in order, then another program's page (0).
int NextPage(const emu::PanelInfo& panel);

}  // namespace viewer
