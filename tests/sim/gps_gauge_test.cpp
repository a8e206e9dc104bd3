// The GPS gauge through the main window, with the simulator stand-in running and its GPS screen as
// the rectangle: the calls of a run on two pages, the frames and their labels following the page
// the panel shows, a gauge that starts on the page an earlier one left, and a notification for a
// page that is none of the gauge's.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "resources/resource_ids.h"
#include "tests/driver/call_sequence.h"
#include "tests/sim/sim_test_support.h"

namespace simtest {
namespace {

const std::string kFrame1 = "SetImage page=1 index=0 len=230400";
const std::string kFrame2 = "SetImage page=2 index=0 len=230400";

class GpsGauge : public SimulatorAndProgram {
 protected:
  void StartGauge() {
    ASSERT_TRUE(StartTool(*session_, kModeGps, simulator_->ScreenRect()));
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsEnabled(session_->main(), kStop); },
                                  kTimeoutMs));
  }
};

TEST_F(GpsGauge, CallsOfARunOnTwoPages) {
  const std::size_t before = PanelCallCount(Control());
  StartGauge();
  ASSERT_TRUE(WaitForFrames(Control(), 1, 3));
  ASSERT_TRUE(PressStop(*session_));
  std::vector<driver::ExpectedCall> expected = {
      "RegisterPageCallback", "RegisterSoftButtonCallback", "AddPage page=1 flags=1",
      "AddPage page=2 flags=0", kFrame1 /* the splash */};
  for (int light = 1; light <= 6; ++light) {
    for (int page = 1; page <= 2; ++page) {
      expected.push_back("SetLed page=" + std::to_string(page) + " index=" +
                         std::to_string(light) + " value=1");
    }
  }
  expected.insert(expected.end(), {driver::OneOrMore(kFrame1), "SetImage page=1 index=0 len=0",
                                   "SetImage page=2 index=0 len=0", "RemovePage page=1",
                                   "RemovePage page=2"});
  std::vector<std::string> calls = PanelCalls(Control(), before);
  for (std::string& call : calls) {
    if (call.rfind("Register", 0) == 0) call = call.substr(0, call.find(' '));
  }
  EXPECT_TRUE(driver::CallsMatch(calls, expected));
}

TEST_F(GpsGauge, FramesAndLabelsFollowThePageShown) {
  const std::vector<uint8_t> page1Labels = HintPixels(IDB_HINTS_GPS_PAGE1);
  const std::vector<uint8_t> page2Labels = HintPixels(IDB_HINTS_GPS_PAGE2);
  StartGauge();
  ASSERT_TRUE(WaitForFrames(Control(), 1, 3));
  const std::vector<uint8_t> first = Control().Image(kSerial, 1);
  driver::SaveFramePng(L"sim_gauge_page1_labels", first);
  EXPECT_TRUE(CarriesLabels(first, page1Labels));
  EXPECT_EQ(ImageCount(Control(), 2), 0u) << "page 2 is sent nothing before its first frame";

  ASSERT_TRUE(Control().SwitchPage(kSerial, 2));
  ASSERT_TRUE(WaitForFrames(Control(), 2, 2));
  const uint32_t page1Frames = ImageCount(Control(), 1);
  ASSERT_TRUE(WaitForFrames(Control(), 2, 3));
  EXPECT_EQ(ImageCount(Control(), 1), page1Frames) << "page 1 still gets frames";
  const std::vector<uint8_t> second = Control().Image(kSerial, 2);
  driver::SaveFramePng(L"sim_gauge_page2_labels", second);
  EXPECT_TRUE(CarriesLabels(second, page2Labels));

  // A new gauge starts on the page the last notification chose: page 2, with its labels, while
  // page 1, the active one again after the start, gets the splash only.
  ASSERT_TRUE(PressStop(*session_));
  StartGauge();
  ASSERT_TRUE(WaitForFrames(Control(), 2, 3));
  const auto panel = Control().Panel(kSerial);
  ASSERT_TRUE(panel);
  EXPECT_EQ(panel->activePage, 1);
  EXPECT_EQ(ImageCount(Control(), 1), 1u) << "page 1: the splash and nothing after it";
  EXPECT_TRUE(CarriesLabels(Control().Image(kSerial, 2), page2Labels));
}

TEST_F(GpsGauge, APage3NotificationChangesNothingAPage2OneMovesTheFrames) {
  const std::vector<uint8_t> page1Labels = HintPixels(IDB_HINTS_GPS_PAGE1);
  const std::vector<uint8_t> page2Labels = HintPixels(IDB_HINTS_GPS_PAGE2);
  StartGauge();
  ASSERT_TRUE(WaitForFrames(Control(), 1, 3));  // past the light sweep

  // Page 3 is none of the gauge's: leaving it and coming to it both go unheeded.
  std::size_t before = PanelCallCount(Control());
  ASSERT_TRUE(Control().NotifyPage(kSerial, 3, false));  // each returns once the handler has
  ASSERT_TRUE(Control().NotifyPage(kSerial, 3, true));
  EXPECT_TRUE(WaitForFrames(Control(), 1, 3)) << "page 1 gets no more frames";
  EXPECT_EQ(ImageCount(Control(), 2), 0u) << "frames moved off page 1";
  EXPECT_TRUE(CarriesLabels(Control().Image(kSerial, 1), page1Labels));
  for (const std::string& call : PanelCalls(Control(), before)) {
    EXPECT_EQ(call.rfind("SetLed", 0), std::string::npos) << call;
  }

  // The same way of notifying reaches the handler: page 2 takes the frames and its lights.
  before = PanelCallCount(Control());
  ASSERT_TRUE(Control().NotifyPage(kSerial, 2, true));
  ASSERT_TRUE(WaitForFrames(Control(), 2, 2));
  const std::vector<uint8_t> moved = Control().Image(kSerial, 2);
  driver::SaveFramePng(L"sim_gauge_page2_after_notification", moved);
  EXPECT_TRUE(CarriesLabels(moved, page2Labels));
  std::vector<std::string> lights;
  for (const std::string& call : PanelCalls(Control(), before)) {
    if (call.rfind("SetImage", 0) != 0) lights.push_back(call);
  }
  std::vector<std::string> lit;
  for (int light = 1; light <= 6; ++light) {
    lit.push_back("SetLed page=2 index=" + std::to_string(light) + " value=1");
  }
  EXPECT_EQ(lights, lit);
}

}  // namespace
}  // namespace simtest
