// The desktop rectangle a screen feeder captures in one cycle, from a slot's capture rectangle.
// No Windows header: built and tested natively as well.
#pragma once

#include <cstdint>

namespace panelcast {

struct SourceRect {
  int32_t x = 0, y = 0;            // top-left corner on the desktop
  int32_t width = 0, height = 0;
  bool operator==(const SourceRect&) const = default;
};

// Live monitor and GPS gauge: the rectangle where it is, whatever screenFlag says; the capture
// device context spans the whole desktop, negative coordinates included.
SourceRect LiveSourceRect(int32_t left, int32_t top, int32_t right, int32_t bottom);

// FSX live view: as above for screenFlag 1; for screenFlag 2 the rectangle is moved right by the
// primary screen's width (x = width + left).
SourceRect FsxLiveViewSourceRect(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                 uint16_t screenFlag, int32_t primaryScreenWidth);

}  // namespace panelcast
