// The main window's controls follow the chosen tool and the selected panel: which settings can be
// changed in each mode, each panel's own settings, the one-time warning, the focus.
#include <gtest/gtest.h>

#include "tests/driver/driver.h"
#include "tests/live/live_test_support.h"

namespace livetest {
namespace {

using shelltest::ExpectBoxes;

struct ModeCase {
  int radio;
  bool format;
  bool coordinates;
  bool hints;
  const wchar_t* setupText;
};

TEST(Controls, EachModeEnablesItsSettings) {
  auto session = shelltest::StartWithPanelCount(1);
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  const ModeCase cases[] = {
      {1015, false, true, true, L"Set\nCoordinates"}, {1016, false, true, true, L"Set\nCoordinates"},
      {1017, true, false, true, L"Select\nFolder"},   {1021, false, true, true, L"Set\nCoordinates"},
      {1014, false, false, false, L"Select\nFolder"},
  };
  for (const ModeCase& mode : cases) {
    driver::Click(main, mode.radio);
    ASSERT_TRUE(driver::WaitUntil(
        [&] { return driver::ControlText(main, kSetup) == mode.setupText; }, kTimeoutMs))
        << "mode " << mode.radio;
    for (int radio : {1014, 1015, 1016, 1017, 1021}) {
      EXPECT_EQ(driver::IsChecked(main, radio), radio == mode.radio) << "mode " << mode.radio;
    }
    EXPECT_EQ(driver::IsEnabled(main, 1018), mode.format) << "mode " << mode.radio;
    EXPECT_EQ(driver::IsEnabled(main, 1019), mode.format) << "mode " << mode.radio;
    for (int id : {kLeft, kRight, kTop, kBottom, kTrackbar, kDelayText}) {
      EXPECT_EQ(driver::IsEnabled(main, id), mode.coordinates) << "mode " << mode.radio << " id " << id;
    }
    EXPECT_EQ(driver::IsEnabled(main, kHints), mode.hints) << "mode " << mode.radio;
    EXPECT_TRUE(driver::IsEnabled(main, kStart));
    EXPECT_TRUE(driver::IsEnabled(main, kSetup));
    driver::SaveScreenshot(L"main_window_mode_" + std::to_wstring(mode.radio), main);
  }
}

struct Shown {
  std::wstring left, right, top, bottom, delay;
  bool jpg, bmp, hints;
};

Shown ShownSettings(HWND main, int line) {
  driver::SelectListLineAndSettle(main, kList, line);
  return {driver::ControlText(main, kLeft),  driver::ControlText(main, kRight),
          driver::ControlText(main, kTop),   driver::ControlText(main, kBottom),
          driver::ControlText(main, kDelayText), driver::IsChecked(main, 1018),
          driver::IsChecked(main, 1019),     driver::IsChecked(main, kHints)};
}

TEST(Controls, EachPanelShowsItsOwnSettingsWhateverTheMode) {
  auto session = shelltest::StartWithPanelCount(2);
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);

  // Panel 2 gets its own rectangle, delay and hint switch through a START, and the BMP format.
  driver::SelectListLineAndSettle(main, kList, 1);
  ASSERT_EQ(driver::ListSelection(main, kList), 1);
  driver::ClickAndSettle(main, kModeLive);
  ASSERT_TRUE(driver::IsChecked(main, kModeLive));
  driver::MoveTrackbar(main, kTrackbar, 7);
  ASSERT_TRUE(driver::WaitUntil([&] { return driver::ControlText(main, kDelayText) == L"700"; },
                                kTimeoutMs));
  driver::Click(main, kHints);  // off
  ASSERT_TRUE(driver::WaitUntil([&] { return !driver::IsChecked(main, kHints); }, kTimeoutMs));
  TypeRect(main, RECT{-1920, 100, -1000, 700});
  driver::Click(main, kStart);
  ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsEnabled(main, kStop); }, kTimeoutMs));
  driver::Click(main, kStop);
  ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsEnabled(main, kStart); }, kTimeoutMs));
  driver::Click(main, 1017);
  driver::Click(main, 1019);
  ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsChecked(main, 1019); }, kTimeoutMs));

  for (int mode : {1017, 1014, 1021}) {
    driver::Click(main, mode);
    const Shown first = ShownSettings(main, 0);
    EXPECT_EQ(first.left, L"0");
    EXPECT_EQ(first.right, std::to_wstring(width));
    EXPECT_EQ(first.top, L"0");
    EXPECT_EQ(first.bottom, std::to_wstring(height));
    EXPECT_EQ(first.delay, L"200");
    EXPECT_TRUE(first.jpg);
    EXPECT_FALSE(first.bmp);
    EXPECT_TRUE(first.hints);

    const Shown second = ShownSettings(main, 1);
    EXPECT_EQ(second.left, L"-1920");  // read back whole, sign included
    EXPECT_EQ(second.right, L"-1000");
    EXPECT_EQ(second.top, L"100");
    EXPECT_EQ(second.bottom, L"700");
    EXPECT_EQ(second.delay, L"700");
    EXPECT_FALSE(second.jpg);
    EXPECT_TRUE(second.bmp);
    EXPECT_FALSE(second.hints);
    EXPECT_TRUE(driver::IsChecked(main, mode)) << "the radio buttons keep the chosen tool";
  }
}

TEST(Controls, TrackbarShowsTheDelayAndWarnsOnceAboutLive) {
  auto session = shelltest::StartWithPanelCount(1);
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  const DWORD pid = session->program->Id();
  driver::Click(main, kModeLive);
  ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsChecked(main, kModeLive); }, kTimeoutMs));

  driver::MoveTrackbar(main, kTrackbar, 50);
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::ControlText(main, kDelayText) == L"5000"; },
                                kTimeoutMs));
  driver::MoveTrackbar(main, kTrackbar, 0);
  ExpectBoxes(pid, {{L"Warning",
                     L"Please note that showing a live image on FIP device may affect system's "
                     L"performance. Besides, not all FIP devices can work properly with live "
                     L"feeds. If you experience performance issues with the live feed or if your "
                     L"FIP device hangs, please increase the refresh delay to a larger value...",
                     driver::BoxIcon::Warning}});
  EXPECT_EQ(driver::ControlText(main, kDelayText), L"0");
  driver::MoveTrackbar(main, kTrackbar, 3);
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::ControlText(main, kDelayText) == L"300"; },
                                kTimeoutMs));
  driver::MoveTrackbar(main, kTrackbar, 0);
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::ControlText(main, kDelayText) == L"0"; },
                                kTimeoutMs));
  EXPECT_TRUE(shelltest::NoMessageBoxFor(pid, 500)) << "the warning comes once a run";
}

TEST(Controls, NoWarningWhileThePanelRunsAndItIsNotUsedUp) {
  auto session = shelltest::StartWithPanelCount(1);
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  const DWORD pid = session->program->Id();
  ASSERT_TRUE(StartLiveMonitorOn(main, 0, RECT{0, 0, 320, 240}));
  driver::MoveTrackbar(main, kTrackbar, 0);
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::ControlText(main, kDelayText) == L"0"; },
                                kTimeoutMs));
  EXPECT_TRUE(shelltest::NoMessageBoxFor(pid, 500));
  driver::Click(main, kStop);
  ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsEnabled(main, kStart); }, kTimeoutMs));
  driver::MoveTrackbar(main, kTrackbar, 1);
  driver::MoveTrackbar(main, kTrackbar, 0);
  const auto box = driver::WaitForMessageBox(pid, kTimeoutMs);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->title, L"Warning");
  driver::AnswerMessageBox(box->window, IDOK);
}

TEST(Controls, SelectingAPanelFocusesStartOrStop) {
  auto session = shelltest::StartWithPanelCount(2);
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  ASSERT_TRUE(StartLiveMonitorOn(main, 0, RECT{0, 0, 320, 240}));
  driver::SelectListLine(main, kList, 1);
  EXPECT_TRUE(driver::WaitUntil([&] { return FocusedWindow(main) == driver::Control(main, kStart); },
                                kTimeoutMs));
  EXPECT_TRUE(driver::IsEnabled(main, kStart));
  EXPECT_FALSE(driver::IsEnabled(main, kStop));
  driver::SelectListLine(main, kList, 0);
  EXPECT_TRUE(driver::WaitUntil([&] { return FocusedWindow(main) == driver::Control(main, kStop); },
                                kTimeoutMs));
  EXPECT_FALSE(driver::IsEnabled(main, kStart));
  EXPECT_TRUE(driver::IsEnabled(main, kStop));
  // START on a panel that runs (the command itself: the button is greyed) does nothing, without a
  // message: the worker goes on and no second one starts.
  driver::PostCommand(main, kStart);
  EXPECT_TRUE(shelltest::NoMessageBoxFor(session->program->Id(), 500));
  EXPECT_TRUE(driver::IsEnabled(main, kStop));
  EXPECT_FALSE(NextFrame(*session->panels, "EMU0001", 2).empty());
  EXPECT_EQ(shelltest::CallCount(*session->program, "AddPage"), 1);
}

}  // namespace
}  // namespace livetest
