// The 320 x 240 pictures that the program sends to a panel: hint overlays (six button labels on a
// transparent background) and splash screens (shown while a tool starts).
#pragma once

#include <array>
#include <string_view>

#include "tools/resgen/canvas.h"

namespace resgen {

constexpr int kFrameWidth = 320;
constexpr int kFrameHeight = 240;

// Hint overlays: the pixel (1, 1, 1) is see-through (the overlay is applied byte by byte, so no
// other pixel may hold a byte 1); each label sits in a black box level with its soft button.
constexpr Pixel kHintTransparent{1, 1, 1};
constexpr Pixel kHintBox{0, 0, 0};
constexpr Pixel kHintText{251, 241, 77};
constexpr int kHintBoxLeft = 1;
constexpr int kHintBoxWidth = 42;
constexpr int kHintBoxHeight = 15;
constexpr std::array<int, 6> kHintBoxTops = {7, 49, 93, 135, 178, 220};  // from the picture's top

using HintLabels = std::array<std::string_view, 6>;  // top button first

Image MakeHintBitmap(const HintLabels& labels);

// A blue start screen: the tool's title at the top, the panel's name, the program's name and
// version ("Panelcast v" and `version`), "Waiting for data...", and a globe over a runway on the
// right.
Image MakeSplashBitmap(std::string_view title, std::string_view version);

}  // namespace resgen
