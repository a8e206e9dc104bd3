// The capture rectangle's two ways in, in the live monitor mode of one run of the program: the
// region picker's half-transparent overlay behind Setup, and the numbers START checks.
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

class Picker : public ProgramRun {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Ready(false));
    driver::ClickAndSettle(Main(), IDC_MODE_LIVE_MONITOR);
  }

  // Setup; the overlay (the window with Set Coordinates) framed over `rect` as a drag and resize
  // would, finished by `finish`; then the Information message, and what the edits show.
  static std::string Pick(const RECT& rect, Finish finish, bool running) {
    driver::Click(Main(), IDC_SETUP);
    if (!instructed_++) shelltest::ExpectBoxes(Pid(), {BoxOf(msg::kPickerInstructions)});
    const HWND overlay = WaitForWindowWith(Pid(), nullptr, IDC_SET_COORDINATES);
    if (!overlay) return "no overlay";
    EXPECT_TRUE(driver::MessageBoxWindows(Pid()).empty()) << "a message box beside the overlay";
    BYTE alpha = 0;
    DWORD flags = 0;  // Xvfb has no compositor to blend it on the screen: its attributes
    EXPECT_TRUE(GetLayeredWindowAttributes(overlay, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 127);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    SetWindowPos(overlay, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT moved{};
    EXPECT_TRUE(driver::WaitUntil(
        [&] { return GetWindowRect(overlay, &moved) && EqualRect(&moved, &rect); }, kTimeoutMs));
    const HWND focus = livetest::FocusedWindow(Main());
    const HWND keys = IsChild(overlay, focus) ? focus : overlay;
    if (finish == Finish::kEnter) driver::PostKey(keys, VK_RETURN);
    if (finish == Finish::kEscape) driver::PostKey(keys, VK_ESCAPE);
    if (finish == Finish::kButton) driver::Click(overlay, IDC_SET_COORDINATES);
    if (finish == Finish::kClose) driver::RequestClose(overlay);
    EXPECT_TRUE(driver::WaitForWindowGone(overlay, kTimeoutMs)) << "the overlay stayed";
    shelltest::ExpectBoxes(
        Pid(), {BoxOf(running ? msg::kCoordinatesAppliedRunning : msg::kCoordinatesAppliedIdle)});
    return Edits();
  }
  static std::string Edits() {
    const auto number = [](int id) { return std::stoi(driver::ControlText(Main(), id)); };
    return Describe({number(IDC_LEFT), number(IDC_TOP), number(IDC_RIGHT), number(IDC_BOTTOM)});
  }

  static inline int instructed_ = 0;  // the instructions come before the first overlay only
};

TEST_F(Picker, OverlayOrEditsGiveTheRectangleAndARunningPanelShowsItAtOnce) {
  const RECT whole = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const struct {
    RECT framed;
    Finish finish;
    RECT stored;
  } rows[] = {
      {{300, 200, 800, 600}, Finish::kClose, whole},                 // nothing read yet this run
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

  // START takes the edits whole (the slot keeps them: they come back when the line is selected
  // again), and refuses a rectangle without width with its message. The rules themselves are the
  // region rules' own table.
  driver::Click(Main(), IDC_START);
  ASSERT_TRUE(Running(true));
  ASSERT_TRUE(PressStop());
  driver::TypeRect(Main(), {0, 0, 0, 100});
  driver::SelectListLineAndSettle(Main(), IDC_DEVICE_LIST, 0);
  EXPECT_EQ(Edits(), Describe(rows[5].stored));
  driver::TypeRect(Main(), {0, 0, 0, 100});
  ASSERT_TRUE(Panel().ClearLog());
  driver::Click(Main(), IDC_START);
  shelltest::ExpectBoxes(Pid(), {BoxOf(msg::kCoordinatesInvalid)});
  EXPECT_TRUE(Running(false));
  EXPECT_TRUE(driver::CallsMatch(Calls(), Lines{}));

  // While the panel runs, what is framed is captured at once: white, not the red typed.
  livetest::ScreenPattern quadrants(
      livetest::kQuadrantsRect, [](int x, int y) { return livetest::Quadrants(480, 360, x, y); });
  ASSERT_TRUE(quadrants.Shown());
  ASSERT_TRUE(driver::StartToolOn(Main(), 0, IDC_MODE_LIVE_MONITOR, {0, 0, 240, 180}));
  EXPECT_EQ(Pick({240, 180, 480, 360}, Finish::kEnter, true), Describe({240, 180, 480, 360}));
  std::vector<uint8_t> frame;
  const auto white = [&] {
    frame = Panel().Image(kSerial, 1);
    return frame.size() == emu::kFrameBytes &&
           driver::Near(feeds_test::FramePixel(frame, 100, 40), 0xFFFFFF, 16) &&
           driver::Near(feeds_test::FramePixel(frame, 240, 200), 0xFFFFFF, 16);
  };
  EXPECT_TRUE(driver::WaitUntil(white, kTimeoutMs, 50))
      << driver::SaveFramePng(L"picker_running", frame);
  EXPECT_TRUE(PressStop());
}

}  // namespace
}  // namespace simtest
