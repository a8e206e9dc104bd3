// Panelcast.exe's resources where no window of the program shows them going wrong: each picture
// at its size (frames as a panel takes them), the icon at each size with see-through corners, and
// file properties that agree with the build. The window's tests open every dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panelcast_version.h"
#include "resources/resource_ids.h"

namespace {

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH];
  const std::wstring self(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return self.substr(0, self.find_last_of(L'\\') + 1) + L"Panelcast.exe";
}
const HMODULE program = LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);

// 24-bit rows bottom-up, every row there: a panel takes a frame's pixels as they are.
TEST(ProgramResources, PicturesHaveTheirSizes) {
  ASSERT_NE(program, nullptr) << "Panelcast.exe not found beside the test";
  const struct {
    int id, width, height;
  } rows[] = {{IDB_HINTS_GPS_PAGE1, 320, 240}, {IDB_HINTS_GPS_PAGE2, 320, 240},
              {IDB_HINTS_LIVE, 320, 240}, {IDB_HINTS_JPG, 320, 240}, {IDB_HINTS_BMP, 320, 240},
              {IDB_SPLASH_GPS, 320, 240}, {IDB_SPLASH_LIVE, 320, 240},
              {IDB_SPLASH_STATIC, 320, 240}, {IDB_ABOUT_PICTURE, 47, 45}, {IDB_BANNER, 734, 48}};
  for (const auto& row : rows) {
    HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(row.id), RT_BITMAP);
    ASSERT_NE(found, nullptr) << row.id;
    const auto* bitmap =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(program, found)));
    EXPECT_EQ(bitmap->biWidth, row.width) << row.id;
    EXPECT_EQ(bitmap->biHeight, row.height) << row.id;
    EXPECT_EQ(bitmap->biBitCount, 24) << row.id;
    const DWORD pixels = (row.width * 3 + 3) / 4 * 4 * row.height;
    EXPECT_GE(SizeofResource(program, found), bitmap->biSize + pixels) << row.id;
  }
}

// The corner may be blended a little (its alpha is small but not always zero).
TEST(ProgramResources, IconDrawsAtEachSizeWithTransparentCorners) {
  const auto nearMagenta = [](COLORREF c) {
    return GetRValue(c) > 0xD0 && GetGValue(c) < 0x30 && GetBValue(c) > 0xD0;
  };
  for (int size : {16, 32, 48}) {
    HICON icon = static_cast<HICON>(
        LoadImageW(program, MAKEINTRESOURCEW(IDI_PANELCAST), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr) << size;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateBitmap(size, size, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, canvas);
    SetDCBrushColor(dc, RGB(255, 0, 255));
    const RECT all{0, 0, size, size};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    EXPECT_TRUE(nearMagenta(GetPixel(dc, 0, 0))) << size << ": the corner";
    EXPECT_FALSE(nearMagenta(GetPixel(dc, size / 2, size / 2))) << size << ": the middle";
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
    DestroyIcon(icon);
  }
}

// What the file's properties show: the build's architecture and version.
TEST(ProgramResources, VersionInformationAgreesWithTheBuild) {
  DWORD ignored = 0;
  std::vector<BYTE> info(GetFileVersionInfoSizeW(ProgramPath().c_str(), &ignored));
  ASSERT_FALSE(info.empty()) << "no version information";
  ASSERT_TRUE(GetFileVersionInfoW(ProgramPath().c_str(), 0, info.size(), info.data()));
  const std::wstring arch = sizeof(void*) == 8 ? L"x64" : L"x86";
  const std::pair<const wchar_t*, std::wstring> rows[] = {
      {L"FileDescription", L"Panelcast for Flight Instrument Panels (" + arch + L")"},
      {L"ProductVersion", PANELCAST_VERSION_WIDE}, {L"FileVersion", PANELCAST_VERSION_WIDE}};
  void* value = nullptr;
  UINT length = 0;
  for (const auto& [name, text] : rows) {
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    ASSERT_TRUE(VerQueryValueW(info.data(), key.c_str(), &value, &length)) << name;
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value)), text);
  }
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", &value, &length));
  const DWORD numbers = static_cast<const VS_FIXEDFILEINFO*>(value)->dwFileVersionMS;
  wchar_t shown[32];
  std::swprintf(shown, 32, L"%u.%02u", HIWORD(numbers), LOWORD(numbers));
  EXPECT_EQ(std::wstring(shown), PANELCAST_VERSION_WIDE) << "the file version's numbers";
}

}  // namespace
