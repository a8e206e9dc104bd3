// Panelcast.exe's resources as Windows loads them: what goes wrong here is a dialog that does
// not open, a picture of the wrong size or colours on a panel, an icon Windows cannot draw, or
// file properties that disagree with the build. (build_check reads sizes and manifests.)
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "panelcast_version.h"
#include "resources/resource_ids.h"

namespace {

class ProgramResources : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    wchar_t path[MAX_PATH];
    const std::wstring self(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    programPath = self.substr(0, self.find_last_of(L'\\') + 1) + L"Panelcast.exe";
    program = LoadLibraryExW(programPath.c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
  }
  void SetUp() override {
    ASSERT_NE(program, nullptr) << "Panelcast.exe not found beside the test";
  }
  static const BYTE* Resource(int id, LPCWSTR type, DWORD* size = nullptr) {
    HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(id), type);
    if (size) *size = found ? SizeofResource(program, found) : 0;
    return found ? static_cast<const BYTE*>(LockResource(LoadResource(program, found))) : nullptr;
  }
  static inline HMODULE program = nullptr;
  static inline std::wstring programPath;
};

// The bytes the program sends a panel (a frame bitmap less its header) and the pictures of its
// dialogs: size, depth, and the colours at a few places (0xRRGGBB, y from the top).
TEST_F(ProgramResources, PicturesHaveTheirSizesAndColours) {
  struct Spot {
    int x, y;
    uint32_t rgb;
  };
  // Hint overlays: see-through (the colour key 1,1,1) but for black boxes beside the buttons.
  const std::vector<Spot> hints = {{200, 120, 0x010101}, {2, 8, 0}, {0, 8, 0x010101}, {5, 230, 0}};
  const struct {
    int id, width, height;
    std::vector<Spot> spots;
  } rows[] = {
      {IDB_HINTS_GPS_PAGE1, 320, 240, hints},
      {IDB_HINTS_GPS_PAGE2, 320, 240, hints},
      {IDB_HINTS_LIVE, 320, 240, hints},
      {IDB_HINTS_JPG, 320, 240, hints},
      {IDB_HINTS_BMP, 320, 240, hints},
      // Splash screens: blue.
      {IDB_SPLASH_GPS, 320, 240, {{200, 120, 0x0A2A6F}, {5, 230, 0x061B54}}},
      {IDB_SPLASH_LIVE, 320, 240, {{200, 120, 0x0A2A6F}, {5, 230, 0x061B54}}},
      {IDB_SPLASH_STATIC, 320, 240, {{200, 120, 0x0A2A6F}, {5, 230, 0x061B54}}},
      // The about box's white aeroplane on blue, and the main window's banner.
      {IDB_ABOUT_PICTURE, 47, 45, {{23, 22, 0xFFFFFF}, {1, 1, 0x4594EA}}},
      {IDB_BANNER, 734, 48, {{1, 1, 0x1B61C5}, {367, 24, 0x5399E3}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("bitmap " + std::to_string(row.id));
    DWORD size = 0;
    const BYTE* bitmap = Resource(row.id, RT_BITMAP, &size);
    ASSERT_NE(bitmap, nullptr);
    BITMAPINFOHEADER header{};
    std::memcpy(&header, bitmap, sizeof header);
    EXPECT_EQ(header.biWidth, row.width);
    EXPECT_EQ(header.biHeight, row.height) << "bottom-up, as a panel takes its frames";
    ASSERT_EQ(header.biBitCount, 24);
    const std::size_t stride = (row.width * 3 + 3) & ~3;
    ASSERT_GE(size, header.biSize + stride * row.height);
    for (const Spot& spot : row.spots) {
      const BYTE* p = bitmap + header.biSize + stride * (row.height - 1 - spot.y) + spot.x * 3;
      EXPECT_EQ((p[2] << 16) | (p[1] << 8) | p[0], static_cast<int>(spot.rgb))
          << "at " << spot.x << "," << spot.y;
    }
    HBITMAP loaded =
        static_cast<HBITMAP>(LoadImageW(program, MAKEINTRESOURCEW(row.id), IMAGE_BITMAP, 0, 0, 0));
    EXPECT_NE(loaded, nullptr) << "GDI cannot load it";
    DeleteObject(loaded);
  }
}

INT_PTR CALLBACK SilentDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Each dialog opens with its caption and the controls the program drives.
TEST_F(ProgramResources, DialogsOpenWithTheirControls) {
  const struct {
    int id;
    const wchar_t* caption;
    std::vector<int> controls;
  } rows[] = {
      // clang-format off
      {IDD_MAIN, L"Zivovi Panelcast",
       {IDC_MODE_CUSTOMIZE, IDC_MODE_GPS, IDC_MODE_LIVE_VIEW, IDC_MODE_STATIC, IDC_MODE_LIVE_MONITOR,
        IDC_DEVICE_LIST, IDC_START, IDC_STOP, IDC_SETUP, IDC_REFRESH, IDC_ABOUT, IDC_EXIT,
        IDC_FORMAT_JPG, IDC_FORMAT_BMP, IDC_LEFT, IDC_RIGHT, IDC_TOP, IDC_BOTTOM,
        IDC_DELAY_TRACKBAR, IDC_DELAY_TEXT, IDC_SHOW_HINTS}},
      // clang-format on
      {IDD_ABOUT, L"About", {IDC_OK}},
      {IDD_DEVICE_INFO, L"Device Information", {IDC_REPORT, IDC_OK}},
      {IDD_REGION_PICKER, L"", {IDC_SET_COORDINATES}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("dialog " + std::to_string(row.id));
    const auto* dialogTemplate = reinterpret_cast<const DLGTEMPLATE*>(Resource(row.id, RT_DIALOG));
    ASSERT_NE(dialogTemplate, nullptr);
    HWND dialog = CreateDialogIndirectParamW(program, dialogTemplate, nullptr, SilentDialog, 0);
    ASSERT_NE(dialog, nullptr) << "the dialog manager cannot build it";
    wchar_t caption[64] = {};
    GetWindowTextW(dialog, caption, 64);
    EXPECT_STREQ(caption, row.caption);
    for (int id : row.controls) EXPECT_NE(GetDlgItem(dialog, id), nullptr) << "control " << id;
    if (row.id == IDD_MAIN) {
      EXPECT_FALSE(IsWindowVisible(dialog)) << "the main window is created hidden";
      HWND banner = nullptr;  // the last child: a bitmap static sized to its picture
      for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) banner = c;
      RECT r{};
      GetWindowRect(banner, &r);
      EXPECT_EQ(r.right - r.left, 734);
      EXPECT_EQ(r.bottom - r.top, 48);
      EXPECT_NE(SendMessageW(banner, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    }
    DestroyWindow(dialog);
  }
}

// Windows draws the icon at each size, its corners see-through and its middle opaque.
TEST_F(ProgramResources, IconDrawsAtEachSizeWithTransparentCorners) {
  for (int size : {16, 32, 48}) {
    HICON icon = static_cast<HICON>(
        LoadImageW(program, MAKEINTRESOURCEW(IDI_PANELCAST), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr) << size;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateBitmap(size, size, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, canvas);
    RECT all{0, 0, size, size};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &all, magenta);
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    // The corner may be blended a little (its alpha is small but not always zero).
    const COLORREF corner = GetPixel(dc, 0, 0), middle = GetPixel(dc, size / 2, size / 2);
    const auto nearMagenta = [](COLORREF c) {
      return GetRValue(c) > 0xD0 && GetGValue(c) < 0x30 && GetBValue(c) > 0xD0;
    };
    EXPECT_TRUE(nearMagenta(corner)) << size << ": corner " << std::hex << corner;
    EXPECT_FALSE(nearMagenta(middle)) << size << ": middle " << std::hex << middle;
    SelectObject(dc, old);
    DeleteObject(magenta);
    DeleteObject(canvas);
    DeleteDC(dc);
    DestroyIcon(icon);
  }
}

// What the file's properties show: the product, the build's architecture and version.
TEST_F(ProgramResources, VersionInformationAgreesWithTheBuild) {
  DWORD ignored = 0;
  std::vector<BYTE> info(GetFileVersionInfoSizeW(programPath.c_str(), &ignored));
  ASSERT_FALSE(info.empty()) << "no version information";
  ASSERT_TRUE(
      GetFileVersionInfoW(programPath.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
  const std::wstring arch = sizeof(void*) == 8 ? L"x64" : L"x86";
  const struct {
    const wchar_t* name;
    std::wstring value;
  } rows[] = {{L"ProductName", L"Panelcast"},
              {L"FileDescription", L"Panelcast for Flight Instrument Panels (" + arch + L")"},
              {L"ProductVersion", PANELCAST_VERSION_WIDE},
              {L"FileVersion", PANELCAST_VERSION_WIDE},
              {L"OriginalFilename", L"Panelcast.exe"}};
  for (const auto& row : rows) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + row.name;
    ASSERT_TRUE(VerQueryValueW(info.data(), key.c_str(), &value, &length)) << "a value is missing";
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value)), row.value);
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  wchar_t numbers[32];
  std::swprintf(numbers, 32, L"%u.%02u", HIWORD(fixed->dwFileVersionMS),
                LOWORD(fixed->dwFileVersionMS));
  EXPECT_EQ(std::wstring(numbers), PANELCAST_VERSION_WIDE);
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

}  // namespace
