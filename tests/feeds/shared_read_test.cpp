// One read of the screen for the screen feeders that run at once, through their capture surfaces
// on a detailed pattern: every frame must equal the frame a surface reading alone makes of its
// rectangle (the halftone stretch rounds by where the source starts, so a misplaced part shows).
#include <gtest/gtest.h>

#include <memory>

#include "feeds/capture_surface.h"
#include "feeds/frame_format.h"
#include "tests/live/live_test_support.h"

namespace panelcast {
namespace {

// Inside the pattern; the second has no whole-number ratio to 320x240, the third lies in the first.
constexpr SourceRect kSources[] = {{0, 0, 640, 480}, {100, 37, 317, 254}, {300, 200, 160, 120}};

std::vector<uint8_t> Frame(CaptureSurface& surface, int source) {
  uint8_t* frame = nullptr;
  if (surface.CaptureFrame(kSources[source], frame) != CaptureSurface::Capture::kFrame) return {};
  return {frame, frame + kFrameBytes};
}

TEST(SharedScreenRead, FeedersAtOnceTakeTheirOwnPicturesFromOneReadAndLeaveNothingHeld) {
  livetest::ScreenPattern pattern({0, 0, 640, 480}, [](int x, int y) {
    return static_cast<uint32_t>((((x * 7) ^ y) & 255) << 16 | ((y * 5) & 255) << 8 |
                                 (((x + y) * 3) & 255));
  });
  ASSERT_TRUE(pattern.Shown());
  std::vector<std::vector<uint8_t>> alone;  // each source as a feeder running alone reads it
  for (int source = 0; source < 3; ++source) {
    CaptureSurface surface;
    ASSERT_TRUE(surface.Open());
    alone.push_back(Frame(surface, source));
    ASSERT_EQ(alone.back().size(), kFrameBytes);
  }
  EXPECT_EQ(SharedScreenReads(), 0u);

  auto first = std::make_unique<CaptureSurface>(), second = std::make_unique<CaptureSurface>();
  ASSERT_TRUE(first->Open() && second->Open());
  EXPECT_EQ(Frame(*first, 0), alone[0]);  // alone still: the other has no source yet
  // Round after round, one read serves both. Under load a round may now and then need a second.
  constexpr uint64_t kRounds = 10;
  for (uint64_t round = 0; round < kRounds; ++round) {
    ASSERT_EQ(Frame(*second, 1), alone[1]) << "round " << round;
    ASSERT_EQ(Frame(*first, 0), alone[0]) << "round " << round;
  }
  EXPECT_GE(SharedScreenReads(), kRounds);
  EXPECT_LE(SharedScreenReads(), kRounds + kRounds / 2);
  EXPECT_GE(SharedCopyBytes(), 640u * 480 * 3);

  // A third that starts, takes frames and stops changes nothing in the others' frames.
  for (int step = 0; step < 3; ++step) {
    SCOPED_TRACE(step);
    std::unique_ptr<CaptureSurface> third;
    if (step == 1) third = std::make_unique<CaptureSurface>();
    if (third) {
      ASSERT_TRUE(third->Open());
    }
    for (int round = 0; round < 2; ++round) {
      if (third) {
        EXPECT_EQ(Frame(*third, 2), alone[2]);
      }
      EXPECT_EQ(Frame(*first, 0), alone[0]);
      EXPECT_EQ(Frame(*second, 1), alone[1]);
    }
  }

  // With one feeder left the copy goes; it reads alone again, and so does the last.
  second.reset();
  EXPECT_EQ(SharedCopyBytes(), 0u);
  const uint64_t reads = SharedScreenReads();
  EXPECT_EQ(Frame(*first, 0), alone[0]);
  EXPECT_EQ(SharedScreenReads(), reads);
  first.reset();
  EXPECT_EQ(SharedCopyBytes(), 0u);
}

}  // namespace
}  // namespace panelcast
