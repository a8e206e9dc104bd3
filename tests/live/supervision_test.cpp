// Workers as the user sees them: Exit ends them all, a worker that gives up frees its panel again,
// a STOP that cannot end a stalled worker says so, and hot-plug stops them for a removal only.
#include "tests/driver/call_sequence.h"
#include "tests/driver/driver.h"
#include "tests/live/live_test_support.h"

namespace livetest {
namespace {

constexpr wchar_t kPanels[] = L"EMU0001,OTHER01:other,EMU0002,EMU0003";  // three listed
const RECT kRect{0, 0, 640, 480};
using Supervision = LiveRun;

// START on the selected first panel brings frames again and STOP ends them: nothing was left
// behind on the panel.
void ExpectStartAndStopWorkOnTheFirstPanel(HWND main, emu::PanelControl& panels) {
  driver::Click(main, kStart);
  ASSERT_TRUE(ShowsRunning(main, true));
  EXPECT_FALSE(NextFrame(panels, "EMU0001", 3).empty());
  driver::Click(main, kStop);
  EXPECT_TRUE(ShowsRunning(main, false));
}

TEST_F(Supervision, ExitStopsRunningWorkersWithoutAWord) {
  ASSERT_TRUE(Run(shelltest::SerialList(3)));
  for (int line = 0; line < 3; ++line) {
    ASSERT_TRUE(StartLiveMonitorOn(main_, line, RECT{line * 300, 0, line * 300 + 300, 300}));
  }
  ASSERT_FALSE(NextFrame(Panels(), "EMU0003", 2).empty());
  driver::Click(main_, IDC_EXIT);
  EXPECT_EQ(Session().program->WaitForExit(kTimeoutMs), std::optional<DWORD>(0));
  // Every worker ended by itself, blanking and removing its page.
  EXPECT_EQ(shelltest::CallCount(*Session().program, "RemovePage"), 3);
}

TEST_F(Supervision, AWorkerRefusedByThePanelFreesItAgain) {
  ASSERT_TRUE(Run(kPanels));
  ASSERT_TRUE(Panels().ClearLog());
  ASSERT_TRUE(Panels().Fault("AddPage", static_cast<int32_t>(0x80004005), false));
  ASSERT_TRUE(StartLiveMonitorOn(main_, 0, kRect));
  // The worker gave up; within about a second the watcher gives START back, without a word.
  ASSERT_TRUE(ShowsRunning(main_, false));
  EXPECT_TRUE(shelltest::NoMessageBoxFor(Pid(), 200));
  EXPECT_TRUE(driver::CallsMatch(Calls(Panels(), "EMU0001"),
                                 std::vector<std::string>{"RegisterPageCallback ctx=\"Zivovi Panelcast\"",
                                  "RegisterSoftButtonCallback ctx=\"Zivovi Panelcast\"",
                                  "AddPage page=1 flags=1"}))
      << "nothing is shown on a panel that refused the page";
  // The next START works: nothing was left behind on the panel.
  ExpectStartAndStopWorkOnTheFirstPanel(main_, Panels());
}

TEST_F(Supervision, StopOfAStalledWorkerSaysSoAndTheSlotFollowsLater) {
  ASSERT_TRUE(Run(kPanels));
  ASSERT_TRUE(StartLiveMonitorOn(main_, 0, kRect));
  ASSERT_FALSE(NextFrame(Panels(), "EMU0001", 2).empty());
  // The send under way takes 8 s, longer than STOP waits; the next ones are quick again.
  ASSERT_TRUE(Panels().SetImageDelay(8000));
  ASSERT_TRUE(driver::WaitUntil([&] { return Panels().Panel("EMU0001")->sendsUnderWay > 0; },
                                kTimeoutMs));
  ASSERT_TRUE(Panels().SetImageDelay(0));

  driver::Click(main_, kStop);
  shelltest::ExpectBoxes(Pid(), {BoxOf(panelcast::msg::kThreadStopFailed)});
  EXPECT_TRUE(driver::IsEnabled(main_, kStop)) << "the buttons stay as they were";
  EXPECT_FALSE(driver::IsEnabled(main_, kStart));
  // The worker ends once its send returns, removing its page; the next display of the panel's
  // settings then offers START again, and START works.
  ASSERT_TRUE(HasPages(Panels(), "EMU0001", false));
  EXPECT_EQ(Calls(Panels(), "EMU0001").back(), "RemovePage page=1");
  driver::SelectListLine(main_, kList, 0);
  ASSERT_TRUE(ShowsRunning(main_, false));
  ExpectStartAndStopWorkOnTheFirstPanel(main_, Panels());
}

// Panels come and go while workers run on EMU0001 and EMU0003: the list follows, and the workers
// stop for any removal (the slots may move), only then, and without a word.
TEST_F(Supervision, HotPlugStopsTheWorkersForARemovalOnly) {
  ASSERT_TRUE(Run(kPanels));
  const struct {
    const char* what;
    bool arrival;
    const char* serial;
    std::size_t lines;  // listed afterwards
    bool pressDuring;   // a press on EMU0003 whose blink the change comes into
  } changes[] = {
      {"an arrival", true, "NEW0001", 4, false},
      {"the removal of a panel the program does not list", false, "OTHER01", 4, false},
      {"the removal of the listed panel between the running ones", false, "EMU0002", 3, true},
  };
  for (const auto& change : changes) {
    SCOPED_TRACE(change.what);
    for (auto [line, serial] : {std::pair{0, "EMU0001"}, {2, "EMU0003"}}) {
      if (Panels().Panel(serial)->pages.empty()) {
        ASSERT_TRUE(StartLiveMonitorOn(main_, line, kRect));
      }
    }
    std::thread press;
    if (change.pressDuring) {
      ASSERT_TRUE(Panels().SetChangesApart(true));  // the removal comes while the press is handled
      ASSERT_TRUE(Panels().SendButtons("EMU0003", 0x180));  // its lights off
      ASSERT_TRUE(Panels().SetLedDelay(400));  // the blink of button 2 takes seconds
      ASSERT_TRUE(Panels().ClearLog());
      press = std::thread([&] { EXPECT_TRUE(Panels().Click("EMU0003", 0x40)); });
      ASSERT_TRUE(driver::WaitUntil(
          [&] { return !Calls(Panels(), "EMU0003", "SetLed").empty(); }, kTimeoutMs));
    }
    ASSERT_TRUE(change.arrival ? Panels().AddPanel(change.serial)
                               : Panels().RemovePanel(change.serial));
    EXPECT_TRUE(driver::WaitUntil(
        [&] { return shelltest::ListLines(main_).size() == change.lines; }, kTimeoutMs));
    if (press.joinable()) {
      press.join();
      ASSERT_TRUE(Panels().SetLedDelay(0));
      // EMU0003's slot moved down while the blink ran; the blink ends as EMU0003's switch says.
      std::string last;  // light 2's last call
      for (const std::string& call : Calls(Panels(), "EMU0003", "SetLed")) {
        if (call.find("index=2 ") != std::string::npos) last = call;
      }
      EXPECT_EQ(last, "SetLed page=1 index=2 value=0");
    }
    for (const char* serial : {"EMU0001", "EMU0003"}) {
      EXPECT_TRUE(HasPages(Panels(), serial, change.arrival)) << serial;
      if (change.arrival) {
        EXPECT_FALSE(NextFrame(Panels(), serial, 3).empty()) << serial;
      }
    }
    EXPECT_TRUE(shelltest::NoMessageBoxFor(Pid(), 200));
  }
  // The gap is closed, the first line selected; EMU0003 (second) and NEW0001 start again.
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::ListSelection(main_, kList) == 0; },
                                kTimeoutMs));
  for (auto [line, serial] : {std::pair{1, "EMU0003"}, {2, "NEW0001"}}) {
    ASSERT_TRUE(StartLiveMonitorOn(main_, line, kRect));
    EXPECT_FALSE(NextFrame(Panels(), serial, 3).empty()) << serial;
  }
}

}  // namespace
}  // namespace livetest
