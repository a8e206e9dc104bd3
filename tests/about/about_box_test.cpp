// The about box as a user meets it: About opens it with the program's name and version, it paints
// its picture whenever it is painted, OK, Enter and Esc close it, and the main window carries on
// after each.
#include <gtest/gtest.h>

#include "panelcast_version.h"
#include "resources/resource_ids.h"
#include "tests/live/live_test_support.h"

namespace shelltest {
namespace {

constexpr POINT kPictureAt{102, 30};  // where the box paints its picture, in its client area

// The picture from the program's file, as rows top-down read through At().
driver::Picture AboutPicture() {
  driver::Picture picture;
  HMODULE program =
      LoadLibraryExW((driver::TestProgramFolder() + L"Panelcast.exe").c_str(), nullptr,
                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!program) return picture;
  if (HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(IDB_ABOUT_PICTURE), RT_BITMAP)) {
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(program, found)));
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(data);
    if (data && header->biBitCount == 24 && header->biHeight > 0 && header->biClrUsed == 0) {
      picture.width = header->biWidth;
      picture.height = header->biHeight;
      picture.bgr.assign(data + header->biSize,
                         data + header->biSize + picture.Stride() * picture.height);
    }
  }
  FreeLibrary(program);
  return picture;
}

RECT PicturePlace(HWND about, const driver::Picture& picture) {
  POINT at = kPictureAt;
  ClientToScreen(about, &at);
  return RECT{at.x, at.y, at.x + picture.width, at.y + picture.height};
}

// Pixels of the screen at the picture's place that differ from it (a 32-bit desktop shows it
// exactly).
int DifferingPixels(HWND about, const driver::Picture& expected) {
  const driver::Picture shown = driver::CaptureScreen(PicturePlace(about, expected));
  if (shown.width != expected.width || shown.height != expected.height) return -1;
  int differing = 0;
  for (int y = 0; y < expected.height; ++y) {
    for (int x = 0; x < expected.width; ++x) differing += shown.At(x, y) != expected.At(x, y);
  }
  return differing;
}

BOOL CALLBACK FindNameAndVersion(HWND child, LPARAM found) {
  if (driver::WindowText(child).rfind(L"Panelcast v" PANELCAST_VERSION_WIDE, 0) == 0) {
    *reinterpret_cast<bool*>(found) = true;
  }
  return TRUE;
}

class AboutBox : public Shell {};

TEST_F(AboutBox, ShowsTheProgramAndItsPictureAndOkEnterAndEscCloseIt) {
  const driver::Picture picture = AboutPicture();
  ASSERT_EQ(picture.width, 47);
  ASSERT_EQ(picture.height, 45);
  ASSERT_TRUE(Start(L"EMU0001", true));
  const struct {
    const char* name;
    UINT key;  // 0: the OK button
  } ways[] = {{"OK", 0}, {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE}};
  std::size_t panels = 1;
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    driver::Click(Main(), IDC_ABOUT);
    const HWND about = driver::WaitForWindow(L"About", Pid(), kTimeoutMs);
    ASSERT_TRUE(about);
    EXPECT_EQ(driver::ControlText(about, IDC_OK), L"OK");
    bool named = false;
    EnumChildWindows(about, FindNameAndVersion, reinterpret_cast<LPARAM>(&named));
    EXPECT_TRUE(named) << "name and version";
    const auto shows = [&] { return DifferingPixels(about, picture) == 0; };
    EXPECT_TRUE(driver::WaitUntil(shows, kTimeoutMs)) << DifferingPixels(about, picture);
    if (way.key == 0) driver::SaveScreenshot(L"about_box", about);

    // Wine puts its own copy of a window's pixels back when it is uncovered, so the screen under
    // the picture is overwritten behind the box's back and the box is asked to repaint with its
    // background erased: only its own painting brings the picture back.
    HDC screen = GetDC(nullptr);
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    const RECT place = PicturePlace(about, picture);
    FillRect(screen, &place, magenta);
    DeleteObject(magenta);
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(driver::WaitUntil([&] { return DifferingPixels(about, picture) > 0; }, kTimeoutMs));
    RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    EXPECT_TRUE(driver::WaitUntil(shows, kTimeoutMs))
        << DifferingPixels(about, picture) << " pixels differ after the repaint";

    // A key goes to the box's focused control, where the dialog manager makes a command of it.
    const HWND focus = livetest::FocusedWindow(Main());
    if (way.key) driver::PostKey(focus && IsChild(about, focus) ? focus : about, way.key);
    if (!way.key) driver::Click(about, IDC_OK);
    ASSERT_TRUE(driver::WaitForWindowGone(about, kTimeoutMs));
    EXPECT_TRUE(driver::MessageBoxWindows(Pid()).empty());
    ASSERT_TRUE(Panels().AddPanel("EMU000" + std::to_string(++panels)));  // still at work
    EXPECT_TRUE(ListHas(panels));
  }
  driver::Click(Main(), IDC_EXIT);
  ExpectEnd(*session_->program, 0, {"Deinitialize ok"});
}

}  // namespace
}  // namespace shelltest
