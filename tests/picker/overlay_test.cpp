// The region picker as a user works it: Setup in the live monitor mode, the instructions before
// the first overlay of a run, the half-transparent overlay moved and sized over the wanted area,
// then Enter, the button, Esc or a close request, and the rectangle that ends up in the panel's
// slot (its edits, and what a running panel captures).
#include <gtest/gtest.h>

#include <string>

#include "tests/driver/driver.h"
#include "tests/feeds/frame_checks.h"
#include "tests/live/live_test_support.h"

namespace livetest {
namespace {

using shelltest::ExpectBoxes;
using shelltest::ExpectedBox;

constexpr char kPanel[] = "EMU0001";
constexpr int kSetCoordinates = 1038;
const RECT kPatternRect = kQuadrantsRect;

ExpectedBox Instructions() {
  return {L"Instructions",
          L"After you press OK a new semi-transparent window will be opened. Please position and "
          L"resize this window so that it covers the area of the screen that you would like to see "
          L"on the Flight Instument Panel's screen. Then click \"Set Coordinates\" button or press "
          L"Enter to finish...",
          driver::BoxIcon::Warning};
}

ExpectedBox Applied(bool running) {
  return {L"Information",
          running ? L"The new coordinates have been applied. You should already see the changes on "
                    L"the selected FIP device..."
                  : L"The new coordinates have been applied. Please use the \"Start\" button to "
                    L"start showing the live image on the selected FIP device...",
          driver::BoxIcon::Information};
}

struct OverlaySearch {
  DWORD pid;
  HWND found;
};

// The overlay has no title: it is the program's visible top-level window holding the
// "Set Coordinates" button.
BOOL CALLBACK FindOverlayWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<OverlaySearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->pid || !IsWindowVisible(window)) return TRUE;
  HWND button = GetDlgItem(window, kSetCoordinates);
  if (button && driver::WindowText(button) == L"Set Coordinates") search->found = window;
  return search->found == nullptr;
}

HWND WaitForOverlay(DWORD pid) {
  OverlaySearch search{pid, nullptr};
  driver::WaitUntil(
      [&] {
        EnumWindows(FindOverlayWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      kTimeoutMs);
  return search.found;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

// What the user's drag and resize do, done by the test: the overlay's outer rectangle becomes
// `rect`. Returns the outer rectangle the window then has.
RECT PlaceOverlay(HWND overlay, const RECT& rect) {
  SetWindowPos(overlay, nullptr, rect.left, rect.top, rect.right - rect.left,
               rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
  driver::WaitUntil([&] { return SameRect(WindowRect(overlay), rect); }, kTimeoutMs);
  return WindowRect(overlay);
}

// A key pressed in the overlay: to its focused control when it has one, else to the overlay.
void PressKeyIn(HWND main, HWND overlay, UINT key) {
  HWND focus = FocusedWindow(main);
  driver::PostKey(focus && (focus == overlay || IsChild(overlay, focus)) ? focus : overlay, key);
}

// The rectangle the main window's edits show, in the order left, top, right, bottom.
RECT ShownRect(HWND main) {
  return {std::stoi(driver::ControlText(main, kLeft)), std::stoi(driver::ControlText(main, kTop)),
          std::stoi(driver::ControlText(main, kRight)), std::stoi(driver::ControlText(main, kBottom))};
}

RECT WholeScreen() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

class Overlay : public QuadrantsAndOnePanel {
 protected:
  void SetUp() override {
    QuadrantsAndOnePanel::SetUp();
    if (HasFatalFailure()) return;
    pid_ = session_->program->Id();
    driver::Click(main_, kModeLive);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsChecked(main_, kModeLive); }, kTimeoutMs));
  }

  // Setup as the user presses it: the instructions first when `firstOfRun`, then the overlay.
  HWND OpenOverlay(bool firstOfRun) {
    driver::Click(main_, kSetup);
    if (firstOfRun) ExpectBoxes(pid_, {Instructions()});
    HWND overlay = WaitForOverlay(pid_);
    EXPECT_TRUE(driver::MessageBoxWindows(pid_).empty()) << "a message box beside the overlay";
    return overlay;
  }

  // The overlay closes, the Information message comes, and then the edits show `expected`.
  void ExpectStored(HWND overlay, const RECT& expected, bool running = false) {
    EXPECT_TRUE(driver::WaitForWindowGone(overlay, kTimeoutMs)) << "the overlay stayed";
    ExpectBoxes(pid_, {Applied(running)});
    EXPECT_EQ(Describe(ShownRect(main_)), Describe(expected));
  }

  emu::PanelControl& Panels() { return *session_->panels; }

  // Waits for a frame whose pixel (x, y) is near `colour`.
  bool WaitForFramePixel(int x, int y, uint32_t colour) {
    return driver::WaitUntil(
        [&] {
          const auto frame = Panels().Image(kPanel, 1);
          return frame.size() == 230400u && Near(feeds_test::FramePixel(frame, x, y), colour, 16);
        },
        kTimeoutMs, 50);
  }

  DWORD pid_ = 0;
};

TEST_F(Overlay, InstructionsOnceThenEnterOrTheButtonStoreTheOuterRectangle) {
  HWND overlay = OpenOverlay(true);
  ASSERT_TRUE(overlay);

  // Half-transparent: layered at alpha 127 (Xvfb has no compositor to blend it on the screen).
  EXPECT_TRUE(GetWindowLongW(overlay, GWL_EXSTYLE) & WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(overlay, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 127);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));

  // It opens centred on the screen.
  const RECT opened = WindowRect(overlay);
  const RECT screen = WholeScreen();
  EXPECT_NEAR((opened.left + opened.right) / 2, screen.right / 2, 1);
  EXPECT_NEAR((opened.top + opened.bottom) / 2, screen.bottom / 2, 1);

  // Moved and sized partly over a window, the pattern (lowered under the overlay for the
  // picture), then Enter.
  const RECT placed = PlaceOverlay(overlay, RECT{300, 200, 800, 600});
  ASSERT_TRUE(SameRect(placed, RECT{300, 200, 800, 600})) << Describe(placed);
  if (HWND pattern = driver::FindTopWindow(L"pattern", GetCurrentProcessId())) {
    SetWindowPos(pattern, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Once the screen shows the overlay (grey dialog face) where it overlaps the pattern.
    driver::WaitUntil(
        [&] {
          const auto picture = driver::CaptureScreen(RECT{400, 300, 401, 301});
          return picture.width == 1 && picture.At(0, 0) != 0xFFFFFF;
        },
        kTimeoutMs);
  }
  // The windows the overlay left repaint piece by piece: the picture once the screen is still.
  driver::Picture last;
  driver::WaitUntil(
      [&] {
        driver::Picture now = driver::CaptureWholeScreen();
        const bool still = now.bgr == last.bgr;
        last = std::move(now);
        return still;
      },
      kTimeoutMs, 250);
  driver::SaveScreenshot(L"picker_overlay_over_pattern");
  PressKeyIn(main_, overlay, VK_RETURN);
  ExpectStored(overlay, placed);

  // The second Setup of the run comes without instructions, and the overlay opens at its own
  // size, centred again; this time its button confirms.
  overlay = OpenOverlay(false);
  ASSERT_TRUE(overlay);
  EXPECT_EQ(Describe(WindowRect(overlay)), Describe(opened));
  const RECT second = PlaceOverlay(overlay, RECT{100, 50, 421, 291});
  driver::Click(overlay, kSetCoordinates);
  ExpectStored(overlay, second);
}

TEST_F(Overlay, EscapeGivesTheWholeScreen) {
  HWND overlay = OpenOverlay(true);
  ASSERT_TRUE(overlay);
  PlaceOverlay(overlay, RECT{300, 200, 800, 600});
  PressKeyIn(main_, overlay, VK_ESCAPE);
  ExpectStored(overlay, WholeScreen());
}

TEST_F(Overlay, CloseRequestKeepsTheLastRectangleOrTheWholeScreen) {
  // Nothing read yet this run: the rectangle is all 0, which falls back to the whole screen.
  HWND overlay = OpenOverlay(true);
  ASSERT_TRUE(overlay);
  PlaceOverlay(overlay, RECT{300, 200, 800, 600});
  driver::RequestClose(overlay);
  ExpectStored(overlay, WholeScreen());

  // After a confirmed overlay, a closed one leaves that rectangle, wherever it was moved.
  overlay = OpenOverlay(false);
  ASSERT_TRUE(overlay);
  const RECT confirmed = PlaceOverlay(overlay, RECT{200, 100, 700, 500});
  driver::Click(overlay, kSetCoordinates);
  ExpectStored(overlay, confirmed);

  overlay = OpenOverlay(false);
  ASSERT_TRUE(overlay);
  PlaceOverlay(overlay, RECT{600, 400, 900, 700});
  driver::RequestClose(overlay);
  ExpectStored(overlay, confirmed);
}

TEST_F(Overlay, RunningPanelShowsTheNewRectangleAtOnce) {
  // The red top-left quadrant first, then the overlay framing the white bottom-right one.
  ASSERT_TRUE(StartLiveMonitorOn(main_, 0, RECT{0, 0, 240, 180}));
  ASSERT_TRUE(WaitForFramePixel(200, 100, 0xFF0000));

  HWND overlay = OpenOverlay(true);
  ASSERT_TRUE(overlay);
  const RECT placed = PlaceOverlay(overlay, RECT{240, 180, 480, 360});
  PressKeyIn(main_, overlay, VK_RETURN);
  ExpectStored(overlay, placed, true);
  EXPECT_TRUE(WaitForFramePixel(200, 100, 0xFFFFFF));
  EXPECT_TRUE(WaitForFramePixel(300, 20, 0xFFFFFF));
  driver::SaveFramePng(L"picker_running_new_rectangle", Panels().Image(kPanel, 1));
}

TEST_F(Overlay, LeftOfThePrimaryScreenGivesNegativeEdgesCapturedWhereTheyAre) {
  // A whole screen's width left of the primary one. Moved right by the screen's width (the FSX
  // live view's own rule) the rectangle would be the pattern; the live monitor captures it where
  // it is, left of the only screen here, which the screen's device context gives as black.
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const RECT wanted{-width, 0, -width + 480, 360};
  HWND overlay = OpenOverlay(true);
  ASSERT_TRUE(overlay);
  const RECT placed = PlaceOverlay(overlay, wanted);
  ASSERT_TRUE(SameRect(placed, wanted)) << Describe(placed);
  PressKeyIn(main_, overlay, VK_RETURN);
  ExpectStored(overlay, wanted);

  driver::Click(main_, kStart);
  ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsEnabled(main_, kStop); }, kTimeoutMs));
  const auto hints = ProgramBitmap(228);
  ASSERT_EQ(hints.size(), 230400u);
  std::vector<uint8_t> frame;
  ASSERT_TRUE(driver::WaitUntil(
      [&] {
        frame = Panels().Image(kPanel, 1);
        return frame.size() == 230400u && feeds_test::CarriesTheLabels(frame, hints.data());
      },
      kTimeoutMs, 50));
  driver::SaveFramePng(L"picker_left_of_the_screen", frame);
  for (auto [x, y] : {std::pair{100, 40}, {240, 40}, {100, 200}, {240, 200}}) {
    EXPECT_EQ(feeds_test::FramePixel(frame, x, y), 0u) << "pixel " << x << "," << y;
  }
}

}  // namespace
}  // namespace livetest
