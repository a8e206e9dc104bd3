// The capture rectangle's two ways in, in the live monitor mode of one run of the program: the
// region picker's half-transparent overlay behind Setup (moved and sized, then Enter, its button,
// Esc or a close request) and the coordinates typed into the edits and checked by START.
#include <gtest/gtest.h>

#include <string>

#include "tests/sim/sim_test_support.h"

namespace simtest {
namespace {

namespace msg = panelcast::msg;
enum class Finish { kEnter, kButton, kEscape, kClose };

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}
std::string WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return Describe(rect);
}

class Picker : public ProgramRun {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Ready(false));
    driver::ClickAndSettle(Main(), IDC_MODE_LIVE_MONITOR);
  }

  // Setup pressed, the overlay (the program's window with the Set Coordinates button) framed
  // over `rect` as a user's drag and resize would, and finished by `finish`; then the
  // Information message and what the edits show.
  static std::string Pick(const RECT& rect, Finish finish, bool running) {
    driver::Click(Main(), IDC_SETUP);
    if (!instructed_++) shelltest::ExpectBoxes(Pid(), {Box(msg::kPickerInstructions)});
    const HWND overlay = WaitForWindowWith(Pid(), nullptr, IDC_SET_COORDINATES);
    if (!overlay) return "no overlay";
    EXPECT_TRUE(driver::MessageBoxWindows(Pid()).empty()) << "a message box beside the overlay";
    BYTE alpha = 0;
    DWORD flags = 0;  // Xvfb has no compositor to blend it on the screen: its attributes
    EXPECT_TRUE(GetLayeredWindowAttributes(overlay, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 127);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    RECT opened{};  // centred, at its own size every time
    GetWindowRect(overlay, &opened);
    if (first_.empty()) first_ = Describe(opened);
    EXPECT_EQ(Describe(opened), first_);
    EXPECT_NEAR(opened.left + opened.right, GetSystemMetrics(SM_CXSCREEN), 2);
    EXPECT_NEAR(opened.top + opened.bottom, GetSystemMetrics(SM_CYSCREEN), 2);
    SetWindowPos(overlay, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(
        driver::WaitUntil([&] { return WindowRect(overlay) == Describe(rect); }, kTimeoutMs));
    const HWND focus = livetest::FocusedWindow(Main());
    const HWND keys = IsChild(overlay, focus) ? focus : overlay;
    if (finish == Finish::kEnter) driver::PostKey(keys, VK_RETURN);
    if (finish == Finish::kEscape) driver::PostKey(keys, VK_ESCAPE);
    if (finish == Finish::kButton) driver::Click(overlay, IDC_SET_COORDINATES);
    if (finish == Finish::kClose) driver::RequestClose(overlay);
    EXPECT_TRUE(driver::WaitForWindowGone(overlay, kTimeoutMs)) << "the overlay stayed";
    shelltest::ExpectBoxes(
        Pid(), {Box(running ? msg::kCoordinatesAppliedRunning : msg::kCoordinatesAppliedIdle)});
    const auto number = [](int id) { return std::stoi(driver::ControlText(Main(), id)); };
    return Describe({number(IDC_LEFT), number(IDC_TOP), number(IDC_RIGHT), number(IDC_BOTTOM)});
  }

  static inline int instructed_ = 0;  // the instructions come before the first overlay only
  static inline std::string first_;
};

TEST_F(Picker, OverlayStoresWhatItFramedOrTheWholeScreen) {
  const RECT whole = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const struct {
    RECT framed;
    Finish finish;
    RECT stored;
  } rows[] = {
      {{300, 200, 800, 600}, Finish::kClose, whole},  // nothing read yet this run
      {{300, 200, 800, 600}, Finish::kEnter, {300, 200, 800, 600}},  // the outer rectangle
      {{600, 400, 900, 700}, Finish::kEscape, whole},                // not the last one
      {{100, 50, 421, 291}, Finish::kButton, {100, 50, 421, 291}},
      {{600, 400, 900, 700}, Finish::kClose, {100, 50, 421, 291}},  // the last one
      {{-1920, 0, -1440, 360}, Finish::kEnter, {-1920, 0, -1440, 360}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Describe(row.framed) + " finished " + std::to_string(int(row.finish)));
    EXPECT_EQ(Pick(row.framed, row.finish, false), Describe(row.stored));
  }
}

TEST_F(Picker, StartTakesTheTypedRectangleWholeOrRefusesIt) {
  enum Outcome { kStarts, kRefused, kIgnored };
  const struct {
    const wchar_t* typed[4];  // left, right, top, bottom
    Outcome outcome;
  } rows[] = {
      // The rules themselves are the region rules' own table; here what START does with them.
      {{L"0", L"0", L"0", L"0"}, kRefused},        {{L"0", L"100", L"200", L"100"}, kRefused},
      {{L"300", L"100", L"0", L"100"}, kStarts},   // left greater than right
      {{L"-1920", L"-1000", L"100", L"700"}, kStarts}, {{L"0", L"12345", L"0", L"100"}, kStarts},
      {{L"", L"100", L"0", L"100"}, kIgnored},     {{L"0", L"100", L"0", L""}, kIgnored},
  };
  const int edits[4] = {IDC_LEFT, IDC_RIGHT, IDC_TOP, IDC_BOTTOM};
  for (const auto& row : rows) {
    std::wstring typed;
    for (int i = 0; i < 4; ++i) {
      driver::SetControlText(Main(), edits[i], row.typed[i]);
      typed += std::wstring(row.typed[i]) + L",";
    }
    SCOPED_TRACE(typed);
    ASSERT_TRUE(Panel().ClearLog());
    driver::Click(Main(), IDC_START);
    if (row.outcome == kStarts) {
      ASSERT_TRUE(Running(true));
      EXPECT_TRUE(driver::MessageBoxWindows(Pid()).empty());
      ASSERT_TRUE(PressStop());
      // The slot keeps the numbers whole: the edits show them again once the line is selected
      // again after they have been overwritten.
      for (int edit : edits) driver::SetControlText(Main(), edit, L"7");
      driver::SelectListLineAndSettle(Main(), IDC_DEVICE_LIST, 0);
      std::wstring shown;
      for (int edit : edits) shown += driver::ControlText(Main(), edit) + L",";
      EXPECT_EQ(shown, typed);
      continue;
    }
    if (row.outcome == kRefused) {
      shelltest::ExpectBoxes(Pid(), {Box(msg::kCoordinatesInvalid)});
    } else {
      // The hint box's click is handled after START's: once it shows, START has been handled.
      const bool hints = driver::IsChecked(Main(), IDC_SHOW_HINTS);
      driver::Click(Main(), IDC_SHOW_HINTS);
      ASSERT_TRUE(driver::WaitUntil(
          [&] { return driver::IsChecked(Main(), IDC_SHOW_HINTS) != hints; }, kTimeoutMs));
      EXPECT_TRUE(shelltest::NoMessageBoxFor(Pid(), 300)) << "a message";
    }
    EXPECT_TRUE(Running(false));
    EXPECT_TRUE(driver::CallsMatch(Calls(), Lines{}));
  }
}

TEST_F(Picker, RunningPanelShowsTheFramedRectangleAtOnceWhereItIs) {
  livetest::ScreenPattern quadrants(livetest::kQuadrantsRect, [](int x, int y) {
    return livetest::Quadrants(480, 360, x, y);
  });
  ASSERT_TRUE(quadrants.Shown());
  // The red top-left quadrant first.
  ASSERT_TRUE(driver::StartToolOn(Main(), 0, IDC_MODE_LIVE_MONITOR, {0, 0, 240, 180}));
  const struct {
    RECT framed;
    uint32_t colour;
  } rows[] = {
      {{0, 0, 240, 180}, 0xFF0000},      // what was typed
      {{240, 180, 480, 360}, 0xFFFFFF},  // the white bottom-right quadrant
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Describe(row.framed));
    if (row.framed.left != 0) {
      EXPECT_EQ(Pick(row.framed, Finish::kEnter, true), Describe(row.framed));
    }
    std::vector<uint8_t> frame;
    EXPECT_TRUE(driver::WaitUntil(
        [&] {
          frame = Panel().Image(kSerial, 1);
          for (auto [x, y] : {std::pair{100, 40}, {240, 40}, {100, 200}, {240, 200}}) {
            if (frame.size() != emu::kFrameBytes ||
                !driver::Near(feeds_test::FramePixel(frame, x, y), row.colour, 16)) {
              return false;
            }
          }
          return true;
        },
        kTimeoutMs, 50))
        << driver::SaveFramePng(L"picker_running", frame);
  }
  EXPECT_TRUE(PressStop());
}

}  // namespace
}  // namespace simtest
