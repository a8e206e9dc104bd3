// The live monitor as a user runs it: a rectangle typed into the main window, START, the panel
// showing that rectangle with its labels, the panel's own buttons, encoders and pages, STOP.
#include "tests/driver/driver.h"
#include "tests/feeds/frame_checks.h"
#include "tests/live/live_test_support.h"

namespace livetest {
namespace {

constexpr char kPanel[] = "EMU0001";
const std::string kFrame = "SetImage page=1 index=0 len=230400";

std::string Led(int light, int value) {
  return "SetLed page=1 index=" + std::to_string(light) + " value=" + std::to_string(value);
}
std::vector<std::string> AllLights(int value) {
  std::vector<std::string> calls;
  for (int light = 1; light <= 6; ++light) calls.push_back(Led(light, value));
  return calls;
}
// A pressed button's light blinks three times and ends as the light switch says.
std::vector<std::string> Blink(int light, bool lightsOn) {
  std::vector<std::string> calls;
  for (int i = 0; i < 3; ++i) calls.insert(calls.end(), {Led(light, 0), Led(light, 1)});
  if (!lightsOn) calls.push_back(Led(light, 0));
  return calls;
}
std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

using LiveMonitor = LiveRun;

// What the panel's own controls do to a running live monitor, one input a row, in this order.
struct PanelInput {
  const char* what;
  enum { kClick, kStep, kChord, kPage } kind;
  uint32_t value;            // buttons, an encoder bit, or the page to show (0: another program's)
  const wchar_t* delay;      // what the main window then shows for the panel
  std::vector<std::string> lights;  // the SetLed calls it makes
  bool lit;                  // all six lights lit afterwards, else all dark
  int labels = -1;           // the next frame carries the labels (1), is bare (0); -1: not looked at
  uint32_t minGapMs = 0, maxGapMs = 0;  // the frames that follow come at least / at most this apart
};

TEST_F(LiveMonitor, PanelInputsSetTheDelayLabelsAndLights) {
  ASSERT_TRUE(Run(L"EMU0001"));
  ASSERT_TRUE(Panels().SetInactivePagesRefuse(true));
  ASSERT_TRUE(StartLiveMonitorOn(main_, 0, kQuadrantsRect, 7));  // 700 ms from the main window
  ASSERT_FALSE(NextFrame(Panels(), kPanel, 2).empty());
  const PanelInput rows[] = {
      {"up above the buttons' range steps on", PanelInput::kStep, 0x08, L"800", {}, true},
      {"down steps back", PanelInput::kStep, 0x10, L"700", {}, true},
      {"button 6: 500 ms", PanelInput::kClick, 0x400, L"500", Blink(6, true), true, -1, 490},
      {"up from 5 wraps to 0", PanelInput::kStep, 0x08, L"0", {}, true},
      {"the other encoder up", PanelInput::kStep, 0x02, L"100", {}, true},
      {"down", PanelInput::kStep, 0x10, L"0", {}, true},
      {"down from 0 wraps to 5", PanelInput::kStep, 0x04, L"500", {}, true},
      {"the other encoder down", PanelInput::kStep, 0x04, L"400", {}, true},
      {"button 2", PanelInput::kClick, 0x40, L"100", Blink(2, true), true},
      {"button 3", PanelInput::kClick, 0x80, L"200", Blink(3, true), true},
      {"button 4", PanelInput::kClick, 0x100, L"300", Blink(4, true), true},
      {"button 5", PanelInput::kClick, 0x200, L"400", Blink(5, true), true},
      {"button 1: live, no pause", PanelInput::kClick, 0x20, L"0", Blink(1, true), true, -1, 0, 250},
      {"buttons 1 and 3 do nothing", PanelInput::kChord, 0xA0, L"0", {}, true, 1},
      {"a button with an encoder bit does nothing", PanelInput::kChord, 0x28, L"0", {}, true},
      {"two encoder bits do nothing", PanelInput::kChord, 0x0A, L"0", {}, true},
      {"buttons 1 to 3 do nothing", PanelInput::kChord, 0xE0, L"0", {}, true, 1},
      {"buttons 1 and 2 take the labels away", PanelInput::kChord, 0x60, L"0", {}, true, 0},
      {"and bring them back", PanelInput::kChord, 0x60, L"0", {}, true, 1},
      {"buttons 3 and 4 switch the lights off", PanelInput::kChord, 0x180, L"0", AllLights(0), false},
      {"a press then ends dark", PanelInput::kClick, 0x40, L"100", Blink(2, false), false},
      {"button 1 again", PanelInput::kClick, 0x20, L"0", Blink(1, false), false},
      {"another program's page: refused frames come 100 ms apart", PanelInput::kPage, 0, L"0",
       AllLights(1) + AllLights(0), false, -1, 95},
      {"the page back: the lights as the switch says", PanelInput::kPage, 1, L"0",
       AllLights(1) + AllLights(0), false, -1, 0, 250},
      {"buttons 3 and 4 switch them on", PanelInput::kChord, 0x180, L"0", AllLights(1), true},
  };
  const std::vector<uint8_t> hints = ProgramBitmap(IDB_HINTS_LIVE);
  ASSERT_EQ(hints.size(), 230400u);
  for (const PanelInput& row : rows) {
    SCOPED_TRACE(row.what);
    ASSERT_TRUE(Panels().ClearLog());
    ASSERT_TRUE(row.kind == PanelInput::kClick  ? Panels().Click(kPanel, row.value)
                : row.kind == PanelInput::kStep ? Panels().Step(kPanel, row.value)
                : row.kind == PanelInput::kPage ? Panels().SwitchPage(kPanel, row.value)
                                                : Panels().SendButtons(kPanel, row.value));
    EXPECT_TRUE(driver::CallsMatch(Calls(Panels(), kPanel, "SetLed"), row.lights));
    const auto panel = Panels().Panel(kPanel);
    ASSERT_TRUE(panel && !panel->pages.empty());
    for (bool led : panel->pages[0].leds) EXPECT_EQ(led, row.lit);
    driver::SelectListLineAndSettle(main_, kList, 0);  // shows the slot's settings again
    EXPECT_EQ(driver::ControlText(main_, kDelayText), row.delay);

    if (row.labels >= 0) {
      const auto frame = NextFrame(Panels(), kPanel, 2);
      ASSERT_EQ(frame.size(), 230400u);
      driver::SaveFramePng(row.labels ? L"live_monitor_labels" : L"live_monitor_bare", frame);
      // Away from the quadrant borders, where halftone blends, each quadrant shows its colour.
      for (auto [x, y] : {std::pair{100, 40}, {240, 40}, {100, 200}, {240, 200}, {300, 100}}) {
        EXPECT_TRUE(Near(feeds_test::FramePixel(frame, x, y), ExpectedQuadrantColour(x, y), 16));
      }
      if (row.labels) {
        EXPECT_TRUE(feeds_test::CarriesTheLabels(frame, hints.data()));
      } else {
        for (int y : {8, 50, 100, 140, 185, 230}) {
          EXPECT_TRUE(Near(feeds_test::FramePixel(frame, 20, y), ExpectedQuadrantColour(20, y), 16))
              << "left edge at row " << y;
        }
      }
    }
    if (row.minGapMs || row.maxGapMs) {
      // The pause begun before the input may still run: the gaps after the next frame count.
      auto frameTicks = [&] {
        std::vector<uint32_t> ticks;
        for (const auto& call : Panels().Log(kPanel)) {
          if (feeds_test::DescribeCall(call) == kFrame) ticks.push_back(call.tick);
        }
        return ticks;
      };
      ASSERT_TRUE(driver::WaitUntil([&] { return frameTicks().size() >= 5; }, kTimeoutMs));
      const std::vector<uint32_t> ticks = frameTicks();
      for (std::size_t i = 2; i < ticks.size(); ++i) {
        if (row.minGapMs) EXPECT_GE(ticks[i] - ticks[i - 1], row.minGapMs) << "frame " << i;
        if (row.maxGapMs) EXPECT_LE(ticks[i] - ticks[i - 1], row.maxGapMs) << "frame " << i;
      }
    }
  }
  driver::Click(main_, kStop);
  EXPECT_TRUE(ShowsRunning(main_, false));
}

TEST_F(LiveMonitor, CallsFromStartToStop) {
  ASSERT_TRUE(Run(L"EMU0001"));
  ASSERT_TRUE(Panels().ClearLog());
  ASSERT_TRUE(StartLiveMonitorOn(main_, 0, kQuadrantsRect));
  // The first picture is the splash, while the lights are swept.
  ASSERT_TRUE(driver::WaitUntil([&] { return ImageCount(Panels(), kPanel) >= 1; }, kTimeoutMs));
  EXPECT_EQ(Panels().Image(kPanel, 1), ProgramBitmap(IDB_SPLASH_LIVE));
  ASSERT_FALSE(NextFrame(Panels(), kPanel, 2).empty());
  driver::Click(main_, kStop);
  ASSERT_TRUE(ShowsRunning(main_, false));
  EXPECT_TRUE(HasPages(Panels(), kPanel, false));

  // From the worker's first call on (enumeration asked for the panel's type before).
  std::vector<emu::CallRecord> log = Panels().Log(kPanel);
  while (!log.empty() && log.front().name != "RegisterPageCallback") log.erase(log.begin());
  std::vector<std::string> calls;
  for (const auto& call : log) calls.push_back(feeds_test::DescribeCall(call));
  EXPECT_TRUE(driver::CallsMatch(calls, feeds_test::LiveMonitorRunCalls()));
  // The lights about 300 ms apart; the first frame only after the sweep.
  for (std::size_t i = 5; i < 11 && i < log.size(); ++i) {
    EXPECT_GE(log[i].tick - log[i - 1].tick, 280u) << calls[i];
    EXPECT_LT(log[i].tick - log[i - 1].tick, 1000u) << calls[i];
  }
}

}  // namespace
}  // namespace livetest
