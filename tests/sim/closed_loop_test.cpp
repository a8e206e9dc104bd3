// The whole loop: the panel shows the simulator's GPS, and the panel's "Zoom +" button changes
// what the simulator draws, which a later frame on the panel shows. And the program on a computer
// without the client library: it starts, its other tools work, the GPS buttons send nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include "emulator/simulator/gps_screen_layout.h"
#include "tests/shell/shell_test_support.h"
#include "tests/sim/sim_test_support.h"

namespace simtest {
namespace {

TEST(ClosedLoop, ZoomInOnThePanelShortensTheScaleTheNextFramesShow) {
  Simulator simulator;
  ASSERT_TRUE(simulator.Started());
  auto session = StartProgram();
  ASSERT_TRUE(session);
  ASSERT_TRUE(StartTool(*session, kModeGps, simulator.ScreenRect()));
  ASSERT_TRUE(WaitForFrames(session->control(), 1, 3));
  const std::vector<uint8_t> before = session->control().Image(kSerial, 1);
  driver::SaveFramePng(L"sim_loop_before_zoom", before);
  const int barBefore = simstandin::ScaleBarPixelsInFrame(before);
  ASSERT_EQ(barBefore, simstandin::ScaleBarLength(4) / 2) << "the scale bar at 10 NM";

  // A user's press: button 2 down (Zoom +), then up.
  ASSERT_TRUE(session->control().Click(kSerial, 0x40));
  const auto events = Texts(simulator.Log());
  EXPECT_EQ(std::count(events.begin(), events.end(), "event GPS_ZOOMIN_BUTTON"), 1);
  driver::SaveScreenshot(L"sim_standin_after_zoom", simulator.Window());

  const int expected = simstandin::ScaleBarLength(3) / 2;
  std::vector<uint8_t> after;
  EXPECT_TRUE(driver::WaitUntil(
      [&] {
        after = session->control().Image(kSerial, 1);
        return simstandin::ScaleBarPixelsInFrame(after) == expected;
      },
      kTimeoutMs, 100))
      << "the scale bar in the frames stayed " << simstandin::ScaleBarPixelsInFrame(after)
      << " pixels";
  driver::SaveFramePng(L"sim_loop_after_zoom", after);
}

TEST(WithoutClientLibrary, ProgramStartsLiveMonitorWorksGpsButtonsSendNothing) {
  Simulator simulator;
  ASSERT_TRUE(simulator.Started());
  // A copy of the program in a folder without the library's assembly.
  auto session = StartProgram(L"nosim\\Panelcast.exe");
  ASSERT_TRUE(session) << "the window did not open";

  ASSERT_TRUE(StartTool(*session, kModeLiveMonitor, simulator.ScreenRect()));
  ASSERT_TRUE(WaitForFrames(session->control(), 1, 3)) << "the live monitor sends no frames";
  ASSERT_TRUE(PressStop(*session));

  ASSERT_TRUE(StartTool(*session, kModeGps, simulator.ScreenRect()));
  ASSERT_TRUE(WaitForFrames(session->control(), 1, 2));
  const std::size_t before = PanelCallCount(session->control());
  for (uint32_t value : {0x40u, 0x08u, 0u}) {
    ASSERT_TRUE(session->control().SendButtons(kSerial, value));
  }
  for (const std::string& call : PanelCalls(session->control(), before)) {
    EXPECT_EQ(call.rfind("SetLed", 0), std::string::npos) << call;
  }
  EXPECT_TRUE(session->LibraryLog().empty()) << "the library was reached";
  for (const std::string& line : Texts(simulator.Log())) {
    EXPECT_EQ(line.rfind("Open", 0), std::string::npos) << line;
  }
  EXPECT_TRUE(shelltest::NoMessageBoxFor(session->pid(), 300));
}

}  // namespace
}  // namespace simtest
