// The live monitor as a user runs it: a rectangle typed into the main window, START, the panel
// showing that rectangle with its labels, the panel's own buttons, STOP.
#include <gtest/gtest.h>

#include "tests/driver/driver.h"
#include "tests/feeds/frame_checks.h"
#include "tests/live/live_test_support.h"

namespace livetest {
namespace {

constexpr char kPanel[] = "EMU0001";
const RECT kPatternRect = kQuadrantsRect;

class LiveMonitor : public QuadrantsAndOnePanel {
 protected:
  emu::PanelControl& Panels() { return *session_->panels; }

  // The delay the panel's slot holds, as the main window shows it once the line is selected.
  std::wstring ShownDelay() {
    // Reselecting the line shows the slot's settings; the text is read once that is over.
    driver::SelectListLineAndSettle(main_, kList, 0);
    return driver::ControlText(main_, kDelayText);
  }
};

TEST_F(LiveMonitor, PanelShowsTheRectangleWithItsLabelsAndBareWithoutThem) {
  ASSERT_TRUE(StartLiveMonitorOn(main_, 0, kPatternRect));
  const auto frame = NextFrame(Panels(), kPanel, 3);
  ASSERT_EQ(frame.size(), 230400u);
  driver::SaveFramePng(L"live_monitor_frame_with_labels", frame);

  // Away from the quadrant borders, where halftone blends, each quadrant shows its colour.
  for (auto [x, y] : {std::pair{100, 40}, {240, 40}, {100, 200}, {240, 200}, {300, 100}}) {
    EXPECT_TRUE(Near(feeds_test::FramePixel(frame, x, y), ExpectedQuadrantColour(x, y), 16))
        << "pixel " << x << "," << y;
  }
  const auto hints = ProgramBitmap(228);
  ASSERT_EQ(hints.size(), 230400u);
  EXPECT_TRUE(feeds_test::CarriesTheLabels(frame, hints.data()));

  // Buttons 1 and 2 together take the labels away: the left edge shows the picture.
  ASSERT_TRUE(Panels().Click(kPanel, 0x60));
  const auto bare = NextFrame(Panels(), kPanel, 3);
  ASSERT_EQ(bare.size(), 230400u);
  driver::SaveFramePng(L"live_monitor_frame_bare", bare);
  for (int y : {10, 50, 100, 140, 185, 225}) {
    EXPECT_TRUE(Near(feeds_test::FramePixel(bare, 20, y), ExpectedQuadrantColour(20, y), 16))
        << "left edge at row " << y;
  }
}

TEST_F(LiveMonitor, CallsFromStartToStop) {
  ASSERT_TRUE(StartLiveMonitorOn(main_, 0, kPatternRect));
  // The first picture is the splash, while the lights are swept.
  ASSERT_TRUE(driver::WaitUntil([&] { return ImageCount(Panels(), kPanel) >= 1; }, kTimeoutMs));
  EXPECT_EQ(Panels().Image(kPanel, 1), ProgramBitmap(233));
  NextFrame(Panels(), kPanel, 2);

  driver::Click(main_, kStop);
  ASSERT_TRUE(driver::WaitUntil(
      [&] { return driver::IsEnabled(main_, kStart) && !driver::IsEnabled(main_, kStop); },
      kTimeoutMs));

  // The panel's calls from the worker's first on (enumeration asked for its type before).
  std::vector<std::string> calls;
  for (const auto& call : Panels().Log(kPanel)) {
    if (!calls.empty() || call.name == "RegisterPageCallback") {
      calls.push_back(feeds_test::DescribeCall(call));
    }
  }
  EXPECT_TRUE(driver::CallsMatch(calls, feeds_test::LiveMonitorRunCalls()));
  const auto panel = Panels().Panel(kPanel);
  ASSERT_TRUE(panel);
  EXPECT_TRUE(panel->pages.empty());
}

TEST_F(LiveMonitor, PanelButtonsAndEncodersSetTheDelay) {
  ASSERT_TRUE(StartLiveMonitorOn(main_, 0, kPatternRect));
  NextFrame(Panels(), kPanel, 2);

  ASSERT_TRUE(Panels().Click(kPanel, 0x400));  // button 6: 500 ms
  EXPECT_EQ(ShownDelay(), L"500");
  // The frames now come at least about 500 ms apart.
  NextFrame(Panels(), kPanel, 1);
  const uint32_t before = ImageCount(Panels(), kPanel);
  const auto start = GetTickCount();
  ASSERT_TRUE(driver::WaitUntil([&] { return ImageCount(Panels(), kPanel) >= before + 3; },
                                kTimeoutMs));
  EXPECT_GE(GetTickCount() - start, 1300u);

  ASSERT_TRUE(Panels().Step(kPanel, 0x08));  // up from 5 wraps to 0
  EXPECT_EQ(ShownDelay(), L"0");
  ASSERT_TRUE(Panels().Step(kPanel, 0x10));  // down from 0 wraps to 5
  EXPECT_EQ(ShownDelay(), L"500");
  ASSERT_TRUE(Panels().Step(kPanel, 0x04));
  EXPECT_EQ(ShownDelay(), L"400");
  ASSERT_TRUE(Panels().Step(kPanel, 0x02));
  EXPECT_EQ(ShownDelay(), L"500");
  ASSERT_TRUE(Panels().Click(kPanel, 0x40));  // button 2: 100 ms
  EXPECT_EQ(ShownDelay(), L"100");
  // Chords of other buttons, and a button with an encoder bit, do nothing.
  ASSERT_TRUE(Panels().SendButtons(kPanel, 0xA0));
  ASSERT_TRUE(Panels().SendButtons(kPanel, 0x28));
  EXPECT_EQ(ShownDelay(), L"100");
}

bool AllLights(emu::PanelControl& panels, bool lit) {
  const auto panel = panels.Panel(kPanel);
  if (!panel || panel->pages.empty()) return false;
  return std::all_of(std::begin(panel->pages[0].leds), std::end(panel->pages[0].leds),
                     [&](bool led) { return led == lit; });
}

TEST_F(LiveMonitor, LightChordAndBlinkingButtons) {
  ASSERT_TRUE(StartLiveMonitorOn(main_, 0, kPatternRect));
  NextFrame(Panels(), kPanel, 2);
  ASSERT_TRUE(AllLights(Panels(), true));

  ASSERT_TRUE(Panels().Click(kPanel, 0x80));  // button 3 blinks and stays lit
  EXPECT_TRUE(AllLights(Panels(), true));
  int blinks = 0;
  for (const auto& call : Panels().Log(kPanel)) {
    if (call.name == "SetLed" && call.args.find("index=3") != std::string::npos &&
        call.args.find("value=0") != std::string::npos) {
      ++blinks;
    }
  }
  EXPECT_EQ(blinks, 3);

  ASSERT_TRUE(Panels().Click(kPanel, 0x180));  // buttons 3 and 4: lights off
  EXPECT_TRUE(AllLights(Panels(), false));
  ASSERT_TRUE(Panels().Click(kPanel, 0x200));  // button 5 blinks and ends dark
  EXPECT_TRUE(AllLights(Panels(), false));
  ASSERT_TRUE(Panels().Click(kPanel, 0x180));
  EXPECT_TRUE(AllLights(Panels(), true));
}

}  // namespace
}  // namespace livetest
