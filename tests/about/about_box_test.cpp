// The about box as a user meets it: About opens it, OK, Enter and Esc close it, the main window
// carries on after each, and its picture comes back whenever the box is painted again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panelcast_version.h"
#include "tests/driver/driver.h"
#include "tests/live/live_test_support.h"

namespace livetest {
namespace {

constexpr int kAbout = 1010;
constexpr int kExit = 1011;
constexpr int kOk = 1031;
constexpr int kPictureId = 230;
// Where the box paints its picture, in its client area.
constexpr POINT kPictureAt{102, 30};

struct ChildSearch {
  std::wstring prefix;
  bool found;
};

BOOL CALLBACK FindChildWithTextPrefix(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  if (driver::WindowText(child).rfind(search->prefix, 0) == 0) search->found = true;
  return !search->found;
}

bool HasTextStartingWith(HWND dialog, const std::wstring& prefix) {
  ChildSearch search{prefix, false};
  EnumChildWindows(dialog, FindChildWithTextPrefix, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Bitmap 230 from the program's file, as a picture with rows top-down read through At().
driver::Picture AboutPicture() {
  driver::Picture picture;
  HMODULE program = LoadLibraryExW((driver::TestProgramFolder() + L"Panelcast.exe").c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!program) return picture;
  if (HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(kPictureId), RT_BITMAP)) {
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(program, found)));
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(data);
    if (data && header->biBitCount == 24 && header->biHeight > 0 && header->biClrUsed == 0) {
      picture.width = header->biWidth;
      picture.height = header->biHeight;
      const uint8_t* pixels = data + header->biSize;
      picture.bgr.assign(pixels, pixels + picture.Stride() * picture.height);
    }
  }
  FreeLibrary(program);
  return picture;
}

// The screen's pixels where the box paints its picture.
driver::Picture ShownPicture(HWND about, const driver::Picture& expected) {
  POINT at = kPictureAt;
  ClientToScreen(about, &at);
  return driver::CaptureScreen(RECT{at.x, at.y, at.x + expected.width, at.y + expected.height});
}

// Pixels that differ from the bitmap (a 32-bit desktop shows it exactly).
int DifferingPixels(const driver::Picture& shown, const driver::Picture& expected) {
  if (shown.width != expected.width || shown.height != expected.height) return -1;
  int differing = 0;
  for (int y = 0; y < expected.height; ++y) {
    for (int x = 0; x < expected.width; ++x) differing += shown.At(x, y) != expected.At(x, y);
  }
  return differing;
}

bool ShowsPicture(HWND about, const driver::Picture& expected) {
  return DifferingPixels(ShownPicture(about, expected), expected) == 0;
}

// A key pressed in the box: to its focused control, where the dialog manager turns it into a
// command, or to the box itself when the focus is elsewhere.
void PressKeyIn(HWND main, HWND about, UINT key) {
  HWND focus = FocusedWindow(main);
  driver::PostKey(focus && IsChild(about, focus) ? focus : about, key);
}

// Magenta drawn straight onto the screen where the picture is.
void ScribbleOverPicture(HWND about, const driver::Picture& expected) {
  POINT at = kPictureAt;
  ClientToScreen(about, &at);
  HDC screen = GetDC(nullptr);
  HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
  const RECT place{at.x, at.y, at.x + expected.width, at.y + expected.height};
  FillRect(screen, &place, magenta);
  DeleteObject(magenta);
  ReleaseDC(nullptr, screen);
}

class AboutBox : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = shelltest::StartWithPanelCount(1);
    ASSERT_TRUE(session_);
    main_ = session_->mainWindow;
    pid_ = session_->program->Id();
  }

  HWND Open() {
    driver::Click(main_, kAbout);
    HWND about = driver::WaitForWindow(L"About", pid_, kTimeoutMs);
    EXPECT_TRUE(about) << "About opened nothing";
    return about;
  }

  std::unique_ptr<driver::PanelSession> session_;
  HWND main_ = nullptr;
  DWORD pid_ = 0;
};

TEST_F(AboutBox, OkEnterAndEscapeCloseItAndTheMainWindowCarriesOn) {
  struct Way {
    const char* name;
    void (*close)(HWND main, HWND about);
  };
  const Way ways[] = {
      {"OK", [](HWND, HWND about) { driver::Click(about, kOk); }},
      {"Enter", [](HWND main, HWND about) { PressKeyIn(main, about, VK_RETURN); }},
      {"Esc", [](HWND main, HWND about) { PressKeyIn(main, about, VK_ESCAPE); }},
  };
  int panels = 1;
  for (const Way& way : ways) {
    HWND about = Open();
    ASSERT_TRUE(about) << way.name;
    EXPECT_EQ(driver::ControlText(about, kOk), L"OK");
    EXPECT_TRUE(HasTextStartingWith(about, L"Panelcast v" PANELCAST_VERSION_WIDE)) << "name and version";
    if (way.name == std::string("OK")) driver::SaveScreenshot(L"about_box", about);
    way.close(main_, about);
    ASSERT_TRUE(driver::WaitForWindowGone(about, kTimeoutMs)) << way.name << " left the box open";
    EXPECT_TRUE(driver::MessageBoxWindows(pid_).empty()) << way.name;

    // The main window still works: a new panel is listed.
    ++panels;
    const std::wstring serial = L"EMU000" + std::to_wstring(panels);
    ASSERT_TRUE(session_->panels->AddPanel(std::string(serial.begin(), serial.end())));
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::ListCount(main_, kList) == panels; },
                                  kTimeoutMs))
        << "after " << way.name;
  }

  driver::Click(main_, kExit);
  const auto exitCode = session_->program->WaitForExit(kTimeoutMs);
  ASSERT_TRUE(exitCode.has_value()) << "Exit did not end the program";
  EXPECT_EQ(*exitCode, 0u);
}

TEST_F(AboutBox, PictureIsDrawnAgainWhenTheBoxIsRepainted) {
  const driver::Picture expected = AboutPicture();
  ASSERT_EQ(expected.width, 47);
  ASSERT_EQ(expected.height, 45);
  HWND about = Open();
  ASSERT_TRUE(about);
  ASSERT_TRUE(driver::WaitUntil([&] { return ShowsPicture(about, expected); }, kTimeoutMs))
      << DifferingPixels(ShownPicture(about, expected), expected) << " pixels differ at first";

  // A window of the test covers the box, then goes away.
  RECT boxRect{};
  GetWindowRect(about, &boxRect);
  auto cover = std::make_unique<ScreenPattern>(boxRect, [](int, int) { return 0xFF00FFu; });
  ASSERT_TRUE(cover->Shown());
  EXPECT_EQ(DifferingPixels(ShownPicture(about, expected), expected),
            expected.width * expected.height)
      << "the cover does not hide the picture";
  cover.reset();

  // Wine keeps a copy of each window's pixels and puts it back on uncovering without asking the
  // window, so the uncovered box shows the picture either way. To see the box paint it again,
  // the screen over the picture's place is overwritten behind the box's back (its copy stays as
  // it was), and the box is asked to repaint with its background erased, as the system does on
  // uncovering where no copy is kept: only the box's own painting brings the picture back.
  ASSERT_TRUE(driver::WaitUntil([&] { return ShowsPicture(about, expected); }, kTimeoutMs));
  ScribbleOverPicture(about, expected);
  ASSERT_TRUE(driver::WaitUntil(
      [&] { return DifferingPixels(ShownPicture(about, expected), expected) > 0; }, kTimeoutMs))
      << "the screen could not be overwritten";
  RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  const bool shown = driver::WaitUntil([&] { return ShowsPicture(about, expected); }, kTimeoutMs);
  driver::SaveScreenshot(L"about_box_repainted", about);
  EXPECT_TRUE(shown) << DifferingPixels(ShownPicture(about, expected), expected)
                     << " pixels differ after the repaint";
  driver::SavePng(L"about_box_picture_place", ShownPicture(about, expected));
}

}  // namespace
}  // namespace livetest
