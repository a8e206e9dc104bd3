// Workers as the user sees them: a worker that gives up frees its panel again, a STOP that cannot
// end a stalled worker says so, exit ends even a stalled worker, and a removal stops them all.
#include <gtest/gtest.h>

#include "tests/driver/driver.h"
#include "tests/live/live_test_support.h"

namespace livetest {
namespace {

using shelltest::ExpectBoxes;

const RECT kRect{0, 0, 640, 480};

bool ButtonsShowRunning(HWND main, bool running) {
  return driver::WaitUntil(
      [&] {
        return driver::IsEnabled(main, kStop) == running &&
               driver::IsEnabled(main, kStart) == !running;
      },
      kTimeoutMs);
}

// Makes the panel's next SetImage calls take `milliseconds`, and returns once one of them is
// under way.
void StallSends(emu::PanelControl& panels, const std::string& serial, uint32_t milliseconds) {
  ASSERT_TRUE(panels.SetImageDelay(milliseconds));
  ASSERT_TRUE(driver::WaitUntil(
      [&] {
        const auto panel = panels.Panel(serial);
        return panel && panel->sendsUnderWay > 0;
      },
      kTimeoutMs));
}

TEST(Supervision, WorkerRefusedByThePanelFreesTheSlotAgain) {
  driver::LaunchOptions options;
  options.environment.emplace_back(L"PANELCAST_EMU_FAULTS", L"AddPage=0x80004005:once");
  auto session = shelltest::StartWithPanels(L"EMU0001", true, options);
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  ASSERT_TRUE(StartLiveMonitorOn(main, 0, kRect));
  // The worker gave up; within about a second the watcher gives START back.
  ASSERT_TRUE(ButtonsShowRunning(main, false));
  EXPECT_TRUE(shelltest::NoMessageBoxFor(session->program->Id(), 200));
  // The next START works: nothing was left behind on the panel.
  driver::Click(main, kStart);
  ASSERT_TRUE(ButtonsShowRunning(main, true));
  EXPECT_FALSE(NextFrame(*session->panels, "EMU0001", 3).empty());
}

TEST(Supervision, StopOfAStalledWorkerSaysSoAndTheSlotFollowsLater) {
  auto session = shelltest::StartWithPanelCount(1);
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  ASSERT_TRUE(StartLiveMonitorOn(main, 0, kRect));
  NextFrame(*session->panels, "EMU0001", 2);
  StallSends(*session->panels, "EMU0001", 8000);
  ASSERT_TRUE(session->panels->SetImageDelay(0));  // only the send under way stays slow

  driver::Click(main, kStop);
  ExpectBoxes(session->program->Id(),
              {{L"Error",
                L"Failed to stop the thead for the selected FIP device. Please try again in a few "
                L"moments...",
                driver::BoxIcon::Warning}});
  // The buttons stay as they were.
  EXPECT_TRUE(driver::IsEnabled(main, kStop));
  EXPECT_FALSE(driver::IsEnabled(main, kStart));
  // The worker ends once its send returns, removing its page; the next display of the panel's
  // settings then offers START again, and START works.
  ASSERT_TRUE(driver::WaitUntil(
      [&] {
        const auto panel = session->panels->Panel("EMU0001");
        return panel && panel->pages.empty();
      },
      kTimeoutMs));
  driver::SelectListLine(main, kList, 0);
  ASSERT_TRUE(ButtonsShowRunning(main, false));
  driver::Click(main, kStart);
  ASSERT_TRUE(ButtonsShowRunning(main, true));
  EXPECT_FALSE(NextFrame(*session->panels, "EMU0001", 3).empty());
}

TEST(Supervision, ExitWithAStalledWorkerForcesItAndStillEnds) {
  auto session = shelltest::StartWithPanelCount(2);
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  ASSERT_TRUE(StartLiveMonitorOn(main, 0, kRect));
  ASSERT_TRUE(StartLiveMonitorOn(main, 1, RECT{640, 0, 1280, 480}));
  NextFrame(*session->panels, "EMU0002", 2);
  StallSends(*session->panels, "EMU0001", 30000);

  driver::Click(main, 1011);
  ExpectBoxes(session->program->Id(),
              {{L"Error",
                L"Failed to stop all running FIP device threads. The stalled threads will be "
                L"forcefully terminated...",
                driver::BoxIcon::Error}});
  const auto exitCode = session->program->WaitForExit(kTimeoutMs);
  ASSERT_TRUE(exitCode.has_value());
  EXPECT_EQ(*exitCode, 0u);
  EXPECT_EQ(shelltest::CallCount(*session->program, "Deinitialize"), 1);
}

TEST(Supervision, ExitStopsRunningWorkersWithoutAWord) {
  auto session = shelltest::StartWithPanelCount(3);
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  for (int line = 0; line < 3; ++line) {
    ASSERT_TRUE(StartLiveMonitorOn(main, line, RECT{line * 300, 0, line * 300 + 300, 300}));
  }
  NextFrame(*session->panels, "EMU0003", 2);
  driver::Click(main, 1011);
  const auto exitCode = session->program->WaitForExit(kTimeoutMs);
  ASSERT_TRUE(exitCode.has_value());
  EXPECT_EQ(*exitCode, 0u);
  // Every worker ended by itself, blanking and removing its page.
  EXPECT_EQ(shelltest::CallCount(*session->program, "RemovePage"), 3);
}

TEST(Supervision, RemovalStopsEveryWorkerAndClosesTheGap) {
  auto session = shelltest::StartWithPanelCount(3);
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  ASSERT_TRUE(StartLiveMonitorOn(main, 0, kRect));
  ASSERT_TRUE(StartLiveMonitorOn(main, 2, RECT{640, 0, 1280, 480}));
  NextFrame(*session->panels, "EMU0003", 2);

  ASSERT_TRUE(session->panels->RemovePanel("EMU0002"));
  ASSERT_TRUE(
      driver::WaitUntil([&] { return shelltest::ListLines(main).size() == 2; }, kTimeoutMs));
  for (const char* serial : {"EMU0001", "EMU0003"}) {
    const auto panel = session->panels->Panel(serial);
    ASSERT_TRUE(panel);
    EXPECT_TRUE(panel->pages.empty()) << serial << " still has its page";
  }
  // Both panels are idle: each can be started again.
  EXPECT_TRUE(
      driver::WaitUntil([&] { return driver::ListSelection(main, kList) == 0; }, kTimeoutMs));
  ASSERT_TRUE(StartLiveMonitorOn(main, 1, kRect));
  EXPECT_FALSE(NextFrame(*session->panels, "EMU0003", 3).empty());
  EXPECT_TRUE(shelltest::NoMessageBoxFor(session->program->Id(), 200));
}

// The value of the panel's last SetLed for `light`, from the emulator's log; -1 when none.
int LastLightValue(emu::PanelControl& panels, const std::string& serial, int light) {
  const std::string index = "index=" + std::to_string(light) + " ";
  int value = -1;
  for (const auto& call : panels.Log(serial)) {
    const std::size_t at = call.args.find(index);
    if (call.name != "SetLed" || at == std::string::npos) continue;
    value = call.args.compare(at + index.size(), 7, "value=1") == 0 ? 1 : 0;
  }
  return value;
}

TEST(Supervision, AButtonPressDuringARemovalStaysWithItsOwnPanel) {
  auto session = shelltest::StartWithPanelCount(3);
  ASSERT_TRUE(session);
  emu::PanelControl& panels = *session->panels;
  ASSERT_TRUE(panels.SetChangesApart(true));  // the removal comes while the button's handler runs
  ASSERT_TRUE(StartLiveMonitorOn(session->mainWindow, 2, kRect));
  NextFrame(panels, "EMU0003", 2);
  ASSERT_TRUE(panels.Click("EMU0003", 0x180));  // its lights off
  ASSERT_TRUE(panels.ClearLog());
  // Slow lights stretch button 2's blink over seconds; the removal of the panel below moves
  // EMU0003's slot down while the blink runs, and the blink ends as EMU0003's switch says.
  ASSERT_TRUE(panels.SetLedDelay(400));
  std::thread press([&] { EXPECT_TRUE(panels.Click("EMU0003", 0x40)); });
  EXPECT_TRUE(driver::WaitUntil([&] { return LastLightValue(panels, "EMU0003", 2) == 0; },
                                kTimeoutMs));
  EXPECT_TRUE(panels.RemovePanel("EMU0002"));
  EXPECT_TRUE(driver::WaitUntil(
      [&] { return shelltest::ListLines(session->mainWindow).size() == 2; }, kTimeoutMs));
  press.join();
  ASSERT_TRUE(panels.SetLedDelay(0));
  EXPECT_EQ(LastLightValue(panels, "EMU0003", 2), 0)
      << "the blink ended lit: another slot's switch";
  EXPECT_TRUE(shelltest::NoMessageBoxFor(session->program->Id(), 200));
}

TEST(Supervision, AnArrivalLeavesRunningWorkersRunning) {
  auto session = shelltest::StartWithPanelCount(2);
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  ASSERT_TRUE(StartLiveMonitorOn(main, 1, kRect));
  NextFrame(*session->panels, "EMU0002", 2);
  ASSERT_TRUE(session->panels->AddPanel("NEW0001"));
  ASSERT_TRUE(
      driver::WaitUntil([&] { return shelltest::ListLines(main).size() == 3; }, kTimeoutMs));
  EXPECT_FALSE(NextFrame(*session->panels, "EMU0002", 3).empty()) << "the worker stopped";
  EXPECT_TRUE(shelltest::NoMessageBoxFor(session->program->Id(), 200));
  ASSERT_TRUE(StartLiveMonitorOn(main, 2, RECT{640, 0, 1280, 480}));
  EXPECT_FALSE(NextFrame(*session->panels, "NEW0001", 2).empty());
  EXPECT_FALSE(NextFrame(*session->panels, "EMU0002", 2).empty());
}

TEST(Supervision, RemovingAPanelTheProgramDoesNotKnowStopsTheWorkersAndNothingElse) {
  auto session = shelltest::StartWithPanels(L"FIP0001,OTHER01:other,FIP0002");
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  ASSERT_TRUE(StartLiveMonitorOn(main, 0, kRect));
  ASSERT_TRUE(StartLiveMonitorOn(main, 1, RECT{640, 0, 1280, 480}));
  NextFrame(*session->panels, "FIP0002", 2);
  ASSERT_TRUE(session->panels->RemovePanel("OTHER01"));
  for (const char* serial : {"FIP0001", "FIP0002"}) {
    EXPECT_TRUE(driver::WaitUntil(
        [&] {
          const auto panel = session->panels->Panel(serial);
          return panel && panel->pages.empty();
        },
        kTimeoutMs))
        << serial << " still has its page";
  }
  EXPECT_EQ(shelltest::ListLines(main).size(), 2u);
  EXPECT_TRUE(shelltest::NoMessageBoxFor(session->program->Id(), 200));
  ASSERT_TRUE(StartLiveMonitorOn(main, 1, kRect));
  EXPECT_FALSE(NextFrame(*session->panels, "FIP0002", 2).empty());
}

}  // namespace
}  // namespace livetest
