// The screen tools on a desktop of 16 bits a pixel (the rig's second screen: Wine gives the program
// the X screen of its starter), where no capture can become a panel frame: the live monitor blanks
// its page in every cycle and still keeps its delay, the GPS gauge (with the simulator stand-in
// running) shows its splash on both pages in every cycle, and the two go on so side by side.
#include <gtest/gtest.h>

#include "tests/live/live_test_support.h"
#include "tests/sim/sim_test_support.h"

namespace shelltest {
namespace {

TEST(SixteenBitDesktop, LiveMonitorBlanksItsPageAndGpsGaugeShowsItsSplashEveryCycle) {
  if (!GetEnvironmentVariableW(L"PANELCAST_DISPLAY16", nullptr, 0)) GTEST_SKIP() << "no 16 bits";
  simtest::Simulator simulator;
  ASSERT_TRUE(simulator.Started());
  driver::LaunchOptions options;
  options.environment = {{L"PANELCAST_EMU_PANELS", L"EMU0001,EMU0002"}};
  auto session = driver::LaunchWithPanels(0, std::move(options));
  ASSERT_TRUE(session) << "the program did not start on the 16-bit screen";
  const HWND main = session->mainWindow;
  emu::PanelControl& panels = *session->panels;
  // The start-up notice, answered without reading its icon, which is on the other screen.
  std::vector<HWND> boxes;
  ASSERT_TRUE(driver::WaitUntil(
      [&] { return !(boxes = driver::MessageBoxWindows(session->program->Id())).empty(); },
      kTimeoutMs));
  driver::AnswerMessageBox(boxes.front(), IDOK);
  ASSERT_TRUE(
      driver::WaitUntil([&] { return driver::IsChecked(main, IDC_MODE_CUSTOMIZE); }, kTimeoutMs));

  const struct {
    const char* serial;
    int mode, splash, pages;
    bool sendsSplash;  // in each cycle, instead of a blank
  } tools[] = {{"EMU0001", IDC_MODE_LIVE_MONITOR, IDB_SPLASH_LIVE, 1, false},
               {"EMU0002", IDC_MODE_GPS, IDB_SPLASH_GPS, 2, true}};
  for (int line = 0; line < 2; ++line) {
    const auto& tool = tools[line];
    SCOPED_TRACE(tool.serial);
    // 300 ms between cycles; the splash first.
    ASSERT_TRUE(driver::StartToolOn(main, line, tool.mode, RECT{0, 0, 320, 240}, 3));
    const auto count = [&](int page) { return livetest::ImageCount(panels, tool.serial, page); };
    ASSERT_TRUE(driver::WaitUntil([&] { return count(1) >= 1; }, kTimeoutMs));
    EXPECT_EQ(panels.Image(tool.serial, 1), livetest::ProgramBitmap(tool.splash));
    // Past the sweep, six cycles on every page, each sending what the page shows, 300 ms apart.
    const uint32_t before = count(tool.pages);
    ASSERT_TRUE(driver::WaitUntil([&] { return count(tool.pages) > before; }, kTimeoutMs));
    const uint32_t first[] = {count(1), count(tool.pages)};
    ASSERT_TRUE(driver::WaitUntil([&] { return count(tool.pages) >= first[1] + 6; }, kTimeoutMs));
    // The cycles' spacing from the panel's own times of the last page's frames: the test's polls
    // come late under load.
    std::vector<DWORD> ticks;
    const std::string lastPage = "page=" + std::to_string(tool.pages);
    for (const auto& call : panels.Log(tool.serial)) {
      if (call.name == "SetImage" && call.args.find(lastPage) != std::string::npos) {
        ticks.push_back(call.tick);
      }
    }
    ASSERT_GE(ticks.size(), 7u);
    const DWORD interval = (ticks.back() - ticks[ticks.size() - 7]) / 6;
    EXPECT_GE(count(1), first[0] + 5);
    for (int page = 1; page <= tool.pages; ++page) {
      EXPECT_EQ(panels.Image(tool.serial, page),
                tool.sendsSplash ? livetest::ProgramBitmap(tool.splash) : std::vector<uint8_t>{});
    }
    EXPECT_GE(interval, 280u);
    EXPECT_LE(interval, 900u);
    std::printf("[ figures  ] %s on 16 bits: cycles %lu ms apart\n", tool.serial, interval);
  }
  // With both running, the live monitor still blanks its page in every cycle.
  const uint32_t blanks = livetest::ImageCount(panels, "EMU0001");
  EXPECT_TRUE(driver::WaitUntil(
      [&] { return livetest::ImageCount(panels, "EMU0001") >= blanks + 2; }, kTimeoutMs));
  EXPECT_EQ(panels.Image("EMU0001", 1), std::vector<uint8_t>{});
}

}  // namespace
}  // namespace shelltest
