// Where the simulator stand-in draws what, in its window's client area, so tests can find the
// scale bar (whose length follows the zoom) in a capture. No Windows header.
#pragma once

#include <cstdint>

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

}  // namespace simstandin
