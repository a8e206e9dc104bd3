// The demo's six sample pictures for the static image show (FIP1.BMP to FIP6.BMP, drawn by
// tools/samples at build time): each has a background colour of its own, which the demo's tour
// reads on the panel to know which picture it shows. No Windows header.
#pragma once

#include <cstdint>

namespace samples {

inline constexpr int kCount = 6;
inline constexpr int kWidth = 320, kHeight = 240;  // a panel's screen, so nothing is scaled
// Picture n's background is kBackgrounds[n - 1], 0x00RRGGBB: far apart, and dark enough for
// white.
inline constexpr std::uint32_t kBackgrounds[kCount] = {0xC02828, 0x289640, 0x2850C8,
                                                       0xD07814, 0x8C32AA, 0x148C96};
// A point of the background that neither the number nor the panel's button labels cover.
inline constexpr int kProbeX = 300, kProbeY = 16;

}  // namespace samples
