// The FSX live view through the main window: a rectangle left of the primary screen is moved right
// by the screen's width, and the view goes on after the simulator has ended.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/feeds/frame_checks.h"
#include "tests/feeds/in_process_panels.h"
#include "tests/sim/sim_test_support.h"

namespace simtest {
namespace {

// Four vertical stripes, 200 pixels each, over x 920 to 1720 of the desktop.
constexpr RECT kStripes = {920, 720, 1720, 1020};
constexpr uint32_t kStripeColours[4] = {0xE01030, 0x20C040, 0x3040D0, 0xF0F020};

uint32_t StripeColour(int x, int /*y*/) { return kStripeColours[x / 200]; }

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift <= 16; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(d) > tolerance) return false;
  }
  return true;
}

TEST(FsxLiveView, ALeftRectangleIsTakenFromThePrimaryScreenWidthOn) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920) << "the rule is checked on a 1920-wide screen";
  Simulator simulator;
  ASSERT_TRUE(simulator.Started());
  feeds_test::PatternWindow stripes(kStripes, StripeColour);
  ASSERT_TRUE(stripes.WaitUntilShown(5000));
  auto session = StartProgram();
  ASSERT_TRUE(session);
  // What the user types: left -1000 and right -200, the stored top and bottom.
  ASSERT_TRUE(StartTool(*session, kModeLiveView, {-1000, 720, -200, 1020}));
  ASSERT_TRUE(feeds_test::WaitPumping([&] { return ImageCount(session->control(), 1) >= 3; },
                                      kTimeoutMs));
  const std::vector<uint8_t> frame = session->control().Image(kSerial, 1);
  ASSERT_EQ(frame.size(), emu::kFrameBytes);
  driver::SaveFramePng(L"sim_live_view_flag2", frame);
  // Each stripe is 80 frame columns; look at the middle of each, right of the labels.
  int mismatches = 0;
  for (int stripe = 0; stripe < 4; ++stripe) {
    for (int x = stripe * 80 + 50; x < stripe * 80 + 74; ++x) {
      for (int y = 5; y < 235; y += 10) {
        if (!Near(feeds_test::FramePixel(frame, x, y), kStripeColours[stripe], 12)) ++mismatches;
      }
    }
  }
  EXPECT_EQ(mismatches, 0) << "the frame does not show x 920 to 1720";
}

TEST(FsxLiveView, GoesOnAfterTheSimulatorEnds) {
  auto simulator = std::make_unique<Simulator>();
  ASSERT_TRUE(simulator->Started());
  auto session = StartProgram();
  ASSERT_TRUE(session);
  ASSERT_TRUE(StartTool(*session, kModeLiveView, simulator->ScreenRect()));
  ASSERT_TRUE(WaitForFrames(session->control(), 1, 3));
  simulator.reset();
  EXPECT_TRUE(WaitForFrames(session->control(), 1, 5)) << "frames stopped with the simulator";
  EXPECT_TRUE(driver::IsEnabled(session->main(), kStop));
  EXPECT_FALSE(driver::IsEnabled(session->main(), kStart));
  EXPECT_TRUE(PressStop(*session));
}

}  // namespace
}  // namespace simtest
