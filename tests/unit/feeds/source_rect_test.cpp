#include "feeds/source_rect.h"

#include <gtest/gtest.h>

namespace panelcast {
namespace {

// The live monitor captures the typed rectangle where it is; the simulator's live view with
// screen flag 2 shifts it right by the primary screen's width.
TEST(SourceRect, TheCapturedRectangleOfEachRule) {
  const struct {
    int32_t left, top, right, bottom, screenFlag, primaryWidth;
    SourceRect live, liveView;
  } rows[] = {
      {100, 50, 740, 530, 1, 1920, {100, 50, 640, 480}, {100, 50, 640, 480}},
      // Left of the primary screen, ending at its left edge, and straddling it.
      {-1000, 10, -200, 610, 1, 1920, {-1000, 10, 800, 600}, {-1000, 10, 800, 600}},
      {-640, 0, 0, 480, 1, 1920, {-640, 0, 640, 480}, {-640, 0, 640, 480}},
      {-320, -20, 320, 460, 1, 1920, {-320, -20, 640, 480}, {-320, -20, 640, 480}},
      {-1000, 30, -200, 630, 2, 1920, {-1000, 30, 800, 600}, {920, 30, 800, 600}},
      {-320, 0, 320, 240, 2, 1024, {-320, 0, 640, 240}, {704, 0, 640, 240}},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(LiveSourceRect(r.left, r.top, r.right, r.bottom), r.live) << r.left;
    EXPECT_EQ(FsxLiveViewSourceRect(r.left, r.top, r.right, r.bottom, r.screenFlag, r.primaryWidth),
              r.liveView)
        << r.left << " flag " << r.screenFlag;
  }
}

}  // namespace
}  // namespace panelcast
