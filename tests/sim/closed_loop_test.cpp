// The whole loop: the panel's "Zoom +" changes what the simulator draws, which later frames show;
// and the program without the client library: its gauge runs, its GPS buttons send nothing.
#include <gtest/gtest.h>

#include "emulator/simulator/gps_screen_layout.h"
#include "tests/sim/sim_test_support.h"

namespace simtest {
namespace {

using ClosedLoop = ProgramRun;

TEST_F(ClosedLoop, ZoomInOnThePanelShortensTheScaleTheNextFramesShow) {
  ASSERT_TRUE(Ready(true));
  ASSERT_TRUE(driver::StartToolOn(Main(), 0, IDC_MODE_GPS, Sim().ScreenRect()));
  ASSERT_TRUE(WaitForFrames(1, 3));
  ASSERT_EQ(simstandin::ScaleBarPixelsInFrame(Panel().Image(kSerial, 1)),
            simstandin::ScaleBarLength(4) / 2)
      << "the scale bar at 10 NM";
  ASSERT_TRUE(Panel().Click(kSerial, 0x40));  // button 2 (Zoom +) down, then up
  std::vector<uint8_t> after;
  const auto shorter = [&] {
    after = Panel().Image(kSerial, 1);
    return simstandin::ScaleBarPixelsInFrame(after) == simstandin::ScaleBarLength(3) / 2;
  };
  EXPECT_TRUE(driver::WaitUntil(shorter, kTimeoutMs, 100))
      << driver::SaveFramePng(L"sim_loop_after_zoom", after);
  EXPECT_TRUE(PressStop());
}

TEST_F(ClosedLoop, WithoutTheClientLibraryTheGaugeRunsAndItsButtonsSendNothing) {
  // A copy without the library's assembly beside it: a static binding would stop it at once.
  ASSERT_TRUE(Ready(true, L"nosim\\Panelcast.exe")) << "the window did not open";
  ASSERT_TRUE(driver::StartToolOn(Main(), 0, IDC_MODE_GPS, Sim().ScreenRect()));
  ASSERT_TRUE(WaitForFrames(1, 2));
  ASSERT_TRUE(Panel().ClearLog());
  for (uint32_t value : {0x40u, 0x08u, 0u}) ASSERT_TRUE(Panel().SendButtons(kSerial, value));
  for (const std::string& call : Calls()) EXPECT_NE(call.rfind("SetLed", 0), 0u) << "a light";
  EXPECT_TRUE(LibraryLog().empty()) << "the library was reached";
  EXPECT_TRUE(shelltest::NoMessageBoxFor(Pid(), 300));
}

}  // namespace
}  // namespace simtest
