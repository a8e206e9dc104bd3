// The main window's controls follow the chosen tool and the selected panel: which settings can be
// changed in each mode, each panel's own settings, the one-time warning, the focus.
#include "tests/driver/call_sequence.h"
#include "tests/driver/driver.h"
#include "tests/live/live_test_support.h"

namespace livetest {
namespace {

constexpr wchar_t kTwoPanels[] = L"EMU0001,EMU0002";
using Controls = LiveRun;

// First of the file: it reads the first panel's settings before any other test changes them.
TEST_F(Controls, EachPanelShowsItsOwnSettingsWhateverTheMode) {
  ASSERT_TRUE(Run(kTwoPanels));
  // Panel 2 gets its own rectangle, delay and hint switch through a START, and the BMP format.
  driver::SelectListLineAndSettle(main_, kList, 1);
  driver::ClickAndSettle(main_, kModeLive);
  driver::MoveTrackbar(main_, kTrackbar, 7);
  driver::ClickAndSettle(main_, kHints);  // off
  TypeRect(main_, RECT{-1920, 100, -1000, 700});
  driver::Click(main_, kStart);
  ASSERT_TRUE(ShowsRunning(main_, true));
  driver::Click(main_, kStop);
  ASSERT_TRUE(ShowsRunning(main_, false));
  driver::ClickAndSettle(main_, IDC_MODE_STATIC);
  driver::ClickAndSettle(main_, IDC_FORMAT_BMP);

  const std::wstring width = std::to_wstring(GetSystemMetrics(SM_CXSCREEN));
  const std::wstring height = std::to_wstring(GetSystemMetrics(SM_CYSCREEN));
  const std::vector<std::wstring> shown[] = {
      {L"0", width, L"0", height, L"200", L"jpg", L"hints"},
      {L"-1920", L"-1000", L"100", L"700", L"700", L"bmp", L""},  // read back whole, sign included
  };
  for (int mode : {IDC_MODE_STATIC, IDC_MODE_CUSTOMIZE, IDC_MODE_LIVE_MONITOR}) {
    driver::Click(main_, mode);
    for (int line : {0, 1}) {
      driver::SelectListLineAndSettle(main_, kList, line);
      std::vector<std::wstring> settings;
      for (int id : {kLeft, kRight, kTop, kBottom, kDelayText}) {
        settings.push_back(driver::ControlText(main_, id));
      }
      EXPECT_NE(driver::IsChecked(main_, IDC_FORMAT_JPG), driver::IsChecked(main_, IDC_FORMAT_BMP));
      settings.push_back(driver::IsChecked(main_, IDC_FORMAT_BMP) ? L"bmp" : L"jpg");
      settings.push_back(driver::IsChecked(main_, kHints) ? L"hints" : L"");
      EXPECT_EQ(settings, shown[line]) << "mode " << mode << ", line " << line;
      EXPECT_TRUE(driver::IsChecked(main_, mode)) << "the radio buttons keep the chosen tool";
    }
  }
}

struct ModeCase {
  int radio;
  bool format, coordinates, hints;
  const wchar_t* setupText;
};

TEST_F(Controls, EachModeEnablesItsSettings) {
  ASSERT_TRUE(Run(kTwoPanels));
  const ModeCase cases[] = {
      {IDC_MODE_GPS, false, true, true, L"Set\nCoordinates"},
      {IDC_MODE_LIVE_VIEW, false, true, true, L"Set\nCoordinates"},
      {IDC_MODE_STATIC, true, false, true, L"Select\nFolder"},
      {IDC_MODE_LIVE_MONITOR, false, true, true, L"Set\nCoordinates"},
      {IDC_MODE_CUSTOMIZE, false, false, false, L"Select\nFolder"},
  };
  for (const ModeCase& mode : cases) {
    SCOPED_TRACE("mode " + std::to_string(mode.radio));
    driver::Click(main_, mode.radio);
    ASSERT_TRUE(driver::WaitUntil(
        [&] { return driver::ControlText(main_, kSetup) == mode.setupText; }, kTimeoutMs));
    for (int radio : {IDC_MODE_CUSTOMIZE, IDC_MODE_GPS, IDC_MODE_LIVE_VIEW, IDC_MODE_STATIC,
                      IDC_MODE_LIVE_MONITOR}) {
      EXPECT_EQ(driver::IsChecked(main_, radio), radio == mode.radio);
    }
    EXPECT_EQ(driver::IsEnabled(main_, IDC_FORMAT_JPG), mode.format);
    EXPECT_EQ(driver::IsEnabled(main_, IDC_FORMAT_BMP), mode.format);
    for (int id : {kLeft, kRight, kTop, kBottom, kTrackbar, kDelayText}) {
      EXPECT_EQ(driver::IsEnabled(main_, id), mode.coordinates) << "control " << id;
    }
    EXPECT_EQ(driver::IsEnabled(main_, kHints), mode.hints);
    EXPECT_TRUE(driver::IsEnabled(main_, kStart));
    EXPECT_TRUE(driver::IsEnabled(main_, kSetup));
    driver::SaveScreenshot(L"main_window_mode_" + std::to_wstring(mode.radio), main_);
  }
}

TEST_F(Controls, SelectingAPanelFocusesStartOrStop) {
  ASSERT_TRUE(Run(kTwoPanels));
  ASSERT_TRUE(Panels().ClearLog());
  ASSERT_TRUE(StartLiveMonitorOn(main_, 0, RECT{0, 0, 320, 240}));
  for (int line : {1, 0}) {  // idle, then running
    driver::SelectListLine(main_, kList, line);
    const int focused = line == 0 ? kStop : kStart;
    EXPECT_TRUE(driver::WaitUntil(
        [&] { return FocusedWindow(main_) == driver::Control(main_, focused); }, kTimeoutMs));
    EXPECT_TRUE(ShowsRunning(main_, line == 0)) << "line " << line;
  }
  // START on a panel that runs (the command itself: the button is greyed) does nothing, without a
  // message: the worker goes on and no second one starts.
  driver::PostCommand(main_, kStart);
  EXPECT_TRUE(shelltest::NoMessageBoxFor(Pid(), 500));
  EXPECT_TRUE(driver::IsEnabled(main_, kStop));
  EXPECT_FALSE(NextFrame(Panels(), "EMU0001", 2).empty());
  EXPECT_EQ(Calls(Panels(), "EMU0001", "AddPage").size(), 1u);
  driver::Click(main_, kStop);
  EXPECT_TRUE(ShowsRunning(main_, false));
}

// The trackbar shows the delay; a move to 0 warns, once a run, and never while the panel runs.
TEST_F(Controls, TrackbarShowsTheDelayAndWarnsOnceAboutLive) {
  ASSERT_TRUE(Run(kTwoPanels));
  const struct {
    bool running;
    int position;
    const wchar_t* shown;
    bool warning;
  } moves[] = {{true, 0, L"0", false}, {false, 1, L"100", false}, {false, 0, L"0", true},
               {false, 50, L"5000", false}, {false, 0, L"0", false}};
  for (const auto& move : moves) {
    SCOPED_TRACE("to " + std::to_string(move.position));
    if (move.running) ASSERT_TRUE(StartLiveMonitorOn(main_, 0, RECT{0, 0, 320, 240}));
    if (!move.running && driver::IsEnabled(main_, kStop)) {
      driver::Click(main_, kStop);
      ASSERT_TRUE(ShowsRunning(main_, false));
    }
    driver::MoveTrackbar(main_, kTrackbar, move.position);
    if (move.warning) {
      shelltest::ExpectBoxes(Pid(), {BoxOf(panelcast::msg::kPerformanceWarning)});
    } else {
      EXPECT_TRUE(shelltest::NoMessageBoxFor(Pid(), 500));
    }
    EXPECT_TRUE(driver::WaitUntil(
        [&] { return driver::ControlText(main_, kDelayText) == move.shown; }, kTimeoutMs));
  }
}

}  // namespace
}  // namespace livetest
