// Where the simulator stand-in draws what, in its window's client area, so tests and the demo
// can find the scale bar (whose length follows the zoom) in a capture. No Windows header.
#pragma once

#include <cstdint>
#include <vector>

namespace simstandin {

inline constexpr int kScreenWidth = 640;   // the client area is the GPS screen
inline constexpr int kScreenHeight = 480;
inline constexpr int kWindowX = 16;        // where the window opens (outer corner)
inline constexpr int kWindowY = 16;

inline constexpr int kHeaderHeight = 48;   // group, page number and page name
inline constexpr int kFooterTop = 432;     // the function line below the map

// The scale bar: a solid bar of kScaleBarColour (nothing else on the screen has it) whose length
// grows with the range, one step per zoom level.
inline constexpr int kScaleBarLeft = 16;
inline constexpr int kScaleBarTop = 400;
inline constexpr int kScaleBarHeight = 10;
inline constexpr uint32_t kScaleBarColour = 0xFFFF00;  // 0x00RRGGBB
inline constexpr int ScaleBarLength(int rangeIndex) { return 24 + 24 * rangeIndex; }

// The scale bar's length in a panel frame of the whole GPS screen (320 x 240, bottom-up blue,
// green, red; the screen stretched by one half): the run of its colour along its middle row, or
// -1 for what is not a frame.
inline int ScaleBarPixelsInFrame(const std::vector<std::uint8_t>& frame) {
  constexpr int kWidth = 320, kHeight = 240;
  if (frame.size() != std::size_t{kWidth} * kHeight * 3) return -1;
  const int row = kHeight - 1 - (kScaleBarTop + kScaleBarHeight / 2) / 2;
  int count = 0;
  for (int x = 0; x < kWidth; ++x) {
    const std::uint8_t* bgr = &frame[(std::size_t(row) * kWidth + x) * 3];
    if (bgr[2] > 200 && bgr[1] > 200 && bgr[0] < 90) ++count;  // near the bar's yellow
  }
  return count;
}

}  // namespace simstandin
