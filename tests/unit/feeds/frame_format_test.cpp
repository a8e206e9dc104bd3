#include "feeds/frame_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace panelcast {
namespace {

// The hint overlay is byte-wise: every byte other than 1 replaces the frame's, so a pixel whose
// bytes are partly 1 keeps the frame's bytes only there.
TEST(HintOverlay, EveryByteOtherThanOneReplacesTheFrame) {
  const struct {
    std::vector<uint8_t> frame, hints, shown;
  } rows[] = {
      {{10, 20, 30}, {1, 1, 1}, {10, 20, 30}},
      {{40, 50, 60}, {0, 0, 0}, {0, 0, 0}},
      {{70, 80, 90}, {77, 1, 251}, {77, 80, 251}},
  };
  for (auto row : rows) {
    OverlayHints(row.frame.data(), row.hints.data(), row.frame.size());
    EXPECT_EQ(row.frame, row.shown);
  }
  // The whole frame, to its last byte.
  std::vector<uint8_t> frame(kFrameBytes, 200), hints(kFrameBytes, kHintTransparentByte);
  hints[0] = 0;
  hints[kFrameBytes - 1] = 9;
  OverlayHints(frame.data(), hints.data(), kFrameBytes);
  EXPECT_EQ(std::vector<uint8_t>(frame.begin(), frame.begin() + 2), (std::vector<uint8_t>{0, 200}));
  EXPECT_EQ(std::vector<uint8_t>(frame.end() - 2, frame.end()), (std::vector<uint8_t>{200, 9}));
}

// The same picture read at 24 and at 32 bits a pixel gives the same frame: the 24-bit buffer is
// sent as it is, the 32-bit one through the frame buffer; other depths give none.
TEST(FrameConversion, EachCaptureDepthGivesTheSameFrameOrNone) {
  std::vector<uint8_t> pixels24(kFrameBytes), pixels32(kFramePixels * 4, 0xFF);
  for (std::size_t p = 0; p < kFramePixels; ++p) {
    const uint8_t bgr[3] = {uint8_t(p), uint8_t(p >> 8), uint8_t(p * 7)};
    for (int c = 0; c < 3; ++c) pixels24[p * 3 + c] = pixels32[p * 4 + c] = bgr[c];
  }
  std::vector<uint8_t> buffer(kFrameBytes, 0);
  EXPECT_EQ(FrameFromCapture(3, pixels24.data(), buffer.data()), pixels24.data());
  EXPECT_EQ(buffer, std::vector<uint8_t>(kFrameBytes, 0)) << "left alone on a 24-bit desktop";
  ASSERT_EQ(FrameFromCapture(4, pixels32.data(), buffer.data()), buffer.data());
  EXPECT_EQ(buffer, pixels24);
  for (int bytesPerPixel : {0, 1, 2, 5}) {
    EXPECT_EQ(FrameFromCapture(bytesPerPixel, pixels32.data(), buffer.data()), nullptr)
        << bytesPerPixel;
  }
  std::vector<uint8_t> two(6, 0xEE);
  const uint8_t pixels[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  CompactPixels32To24(pixels, two.data(), 2);
  EXPECT_EQ(two, (std::vector<uint8_t>{1, 2, 3, 5, 6, 7}));
}

}  // namespace
}  // namespace panelcast
