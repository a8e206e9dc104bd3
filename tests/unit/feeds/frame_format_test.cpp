#include "feeds/frame_format.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <vector>

namespace panelcast {
namespace {

TEST(HintOverlay, EveryByteOtherThanOneReplacesTheFrame) {
  std::vector<uint8_t> frame = {10, 20, 30, 40, 50, 60, 70, 80, 90};
  // A transparent pixel, a black label pixel, and a pixel whose bytes are partly 1: the test is
  // per byte, so only its other bytes replace the frame's.
  const std::vector<uint8_t> hints = {1, 1, 1, 0, 0, 0, 77, 1, 251};
  OverlayHints(frame.data(), hints.data(), frame.size());
  EXPECT_EQ(frame, (std::vector<uint8_t>{10, 20, 30, 0, 0, 0, 77, 80, 251}));
}

TEST(HintOverlay, CoversAWholeFrame) {
  std::vector<uint8_t> frame(kFrameBytes, 200);
  std::vector<uint8_t> hints(kFrameBytes, kHintTransparentByte);
  hints[0] = 0;
  hints[kFrameBytes - 1] = 9;
  OverlayHints(frame.data(), hints.data(), kFrameBytes);
  EXPECT_EQ(frame[0], 0);
  EXPECT_EQ(frame[1], 200);
  EXPECT_EQ(frame[kFrameBytes - 2], 200);
  EXPECT_EQ(frame[kFrameBytes - 1], 9);
}

TEST(FrameConversion, ThirtyTwoBitPixelsKeepTheirFirstThreeBytes) {
  const std::vector<uint8_t> pixels = {1, 2, 3, 4, 5, 6, 7, 8};
  std::vector<uint8_t> frame(6, 0xEE);
  CompactPixels32To24(pixels.data(), frame.data(), 2);
  EXPECT_EQ(frame, (std::vector<uint8_t>{1, 2, 3, 5, 6, 7}));
}

// The same picture read at 24 and at 32 bits a pixel gives the same frame: the 24-bit buffer is
// sent as it is, the 32-bit one through the frame buffer.
TEST(FrameConversion, TwentyFourAndThirtyTwoBitCapturesGiveTheSameFrame) {
  std::vector<uint8_t> pixels24(kFrameBytes), pixels32(kFramePixels * 4);
  for (std::size_t p = 0; p < kFramePixels; ++p) {
    const uint8_t b = static_cast<uint8_t>(p), g = static_cast<uint8_t>(p >> 8),
                  r = static_cast<uint8_t>(p * 7);
    pixels24[p * 3] = b, pixels24[p * 3 + 1] = g, pixels24[p * 3 + 2] = r;
    pixels32[p * 4] = b, pixels32[p * 4 + 1] = g, pixels32[p * 4 + 2] = r, pixels32[p * 4 + 3] = 0xFF;
  }
  std::vector<uint8_t> frameBuffer(kFrameBytes, 0);

  const uint8_t* from24 = FrameFromCapture(3, pixels24.data(), frameBuffer.data());
  EXPECT_EQ(from24, pixels24.data()) << "a 24-bit capture is the frame itself";
  EXPECT_TRUE(std::all_of(frameBuffer.begin(), frameBuffer.end(), [](uint8_t v) { return v == 0; }))
      << "the frame buffer is left alone on a 24-bit desktop";

  const uint8_t* from32 = FrameFromCapture(4, pixels32.data(), frameBuffer.data());
  ASSERT_EQ(from32, frameBuffer.data());
  EXPECT_EQ(std::vector<uint8_t>(from32, from32 + kFrameBytes), pixels24);
}

TEST(FrameConversion, OtherDepthsGiveNoFrame) {
  std::vector<uint8_t> pixels(kFramePixels * 4, 0), frameBuffer(kFrameBytes, 0);
  for (int bytesPerPixel : {0, 1, 2, 5}) {
    EXPECT_EQ(FrameFromCapture(bytesPerPixel, pixels.data(), frameBuffer.data()), nullptr)
        << bytesPerPixel;
  }
}

}  // namespace
}  // namespace panelcast
