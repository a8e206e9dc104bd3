#include "tests/feeds/frame_checks.h"

#include "feeds/frame_format.h"

namespace feeds_test {

static std::size_t OffsetOf(int x, int y) {
  return (static_cast<std::size_t>(panelcast::kFrameHeight - 1 - y) * panelcast::kFrameWidth + x) *
         3;
}

uint32_t FramePixel(const std::vector<uint8_t>& frame, int x, int y) {
  const std::size_t at = OffsetOf(x, y);
  return (frame[at + 2] << 16) | (frame[at + 1] << 8) | frame[at];
}

::testing::AssertionResult CarriesTheLabels(const std::vector<uint8_t>& frame,
                                            const uint8_t* hints) {
  if (frame.size() != panelcast::kFrameBytes) {
    return ::testing::AssertionFailure() << "a frame of " << frame.size() << " bytes";
  }
  int labelPixels = 0;
  for (int y = 0; y < panelcast::kFrameHeight; ++y) {
    for (int x = 0; x < panelcast::kFrameWidth; ++x) {
      const uint8_t* hint = hints + OffsetOf(x, y);
      if (hint[0] == 1 && hint[1] == 1 && hint[2] == 1) continue;
      ++labelPixels;
      if (x < 1 || x > 42) return ::testing::AssertionFailure() << "label pixel at column " << x;
      for (int c = 0; c < 3; ++c) {
        if (hint[c] != 1 && frame[OffsetOf(x, y) + c] != hint[c]) {
          return ::testing::AssertionFailure() << "label pixel (" << x << "," << y << ") differs";
        }
      }
    }
  }
  if (labelPixels != 6 * 42 * 15) {
    return ::testing::AssertionFailure() << labelPixels << " label pixels, not six boxes of 42x15";
  }
  return ::testing::AssertionSuccess();
}

}  // namespace feeds_test
