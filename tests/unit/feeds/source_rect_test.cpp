#include "feeds/source_rect.h"

#include <gtest/gtest.h>

namespace panelcast {
namespace {

TEST(LiveSourceRect, IsTheCaptureRectangleWhereItIs) {
  EXPECT_EQ(LiveSourceRect(100, 50, 740, 530), (SourceRect{100, 50, 640, 480}));
  // Left of the primary screen, ending at its left edge, and straddling it.
  EXPECT_EQ(LiveSourceRect(-1000, 10, -200, 610), (SourceRect{-1000, 10, 800, 600}));
  EXPECT_EQ(LiveSourceRect(-640, 0, 0, 480), (SourceRect{-640, 0, 640, 480}));
  EXPECT_EQ(LiveSourceRect(-320, -20, 320, 460), (SourceRect{-320, -20, 640, 480}));
}

TEST(FsxLiveViewSourceRect, ScreenFlagOneIsTheLiveRule) {
  EXPECT_EQ(FsxLiveViewSourceRect(100, 50, 740, 530, 1, 1920), (SourceRect{100, 50, 640, 480}));
}

TEST(FsxLiveViewSourceRect, ScreenFlagTwoShiftsByThePrimaryWidth) {
  // -1000..-200 on a 1920-wide primary screen is captured from x 920 to x 1720.
  const SourceRect rect = FsxLiveViewSourceRect(-1000, 30, -200, 630, 2, 1920);
  EXPECT_EQ(rect, (SourceRect{920, 30, 800, 600}));
  EXPECT_EQ(rect.x + rect.width, 1720);
  EXPECT_EQ(FsxLiveViewSourceRect(-320, 0, 320, 240, 2, 1024), (SourceRect{704, 0, 640, 240}));
}

}  // namespace
}  // namespace panelcast
