// Panelcast.exe's resources as Windows reads them: the frame bitmaps' exact sizes and headers,
// the dialog templates (header fields, and every control as the dialog manager creates it), the
// icon's images, the manifest's requests and the version information.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "panelcast_version.h"
#include "resources/resource_ids.h"
#include "tests/resources/dialog_template.h"

namespace {

HMODULE program = nullptr;  // Panelcast.exe, loaded as data; main thread only
std::wstring programPath;   // its full path; main thread only

class ProgramResources : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, length);
    dir.resize(dir.find_last_of(L'\\') + 1);
    programPath = dir + L"Panelcast.exe";
    program = LoadLibraryExW(programPath.c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
  }
  static void TearDownTestSuite() {
    if (program) FreeLibrary(program);
  }
  void SetUp() override { ASSERT_NE(program, nullptr) << "Panelcast.exe not found beside the test"; }

  // The resource's bytes, empty when it is missing.
  static std::vector<BYTE> Resource(int id, LPCWSTR type) {
    HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(id), type);
    if (!found) return {};
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(program, found)));
    if (!data) return {};
    return std::vector<BYTE>(data, data + SizeofResource(program, found));
  }
};

BITMAPINFOHEADER HeaderOf(const std::vector<BYTE>& bitmap) {
  BITMAPINFOHEADER header{};
  if (bitmap.size() >= sizeof header) std::memcpy(&header, bitmap.data(), sizeof header);
  return header;
}

TEST_F(ProgramResources, FrameBitmapsAreExactlyOneFrameWithTheirHeader) {
  for (int id : {IDB_HINTS_GPS_PAGE1, IDB_HINTS_GPS_PAGE2, IDB_HINTS_LIVE, IDB_SPLASH_GPS,
                 IDB_SPLASH_LIVE, IDB_SPLASH_STATIC, IDB_HINTS_JPG, IDB_HINTS_BMP}) {
    SCOPED_TRACE("bitmap " + std::to_string(id));
    std::vector<BYTE> bitmap = Resource(id, RT_BITMAP);
    ASSERT_EQ(bitmap.size(), 230442u);
    BITMAPINFOHEADER h = HeaderOf(bitmap);
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 320);
    EXPECT_EQ(h.biHeight, 240);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(h.biSizeImage, 230402u);
    EXPECT_EQ(h.biXPelsPerMeter, 2952);
    EXPECT_EQ(h.biYPelsPerMeter, 2952);
    EXPECT_EQ(h.biClrUsed, 0u);
    EXPECT_EQ(bitmap[230440], 0);
    EXPECT_EQ(bitmap[230441], 0);
  }
}

TEST_F(ProgramResources, AboutPictureAndBannerHaveTheirSizes) {
  struct Expected {
    int id, width, height;
  };
  for (Expected e : {Expected{IDB_ABOUT_PICTURE, 47, 45}, Expected{IDB_BANNER, 734, 48}}) {
    SCOPED_TRACE("bitmap " + std::to_string(e.id));
    std::vector<BYTE> bitmap = Resource(e.id, RT_BITMAP);
    DWORD rowBytes = (e.width * 3 + 3) & ~3u;
    ASSERT_EQ(bitmap.size(), 40 + rowBytes * e.height);
    BITMAPINFOHEADER h = HeaderOf(bitmap);
    EXPECT_EQ(h.biWidth, e.width);
    EXPECT_EQ(h.biHeight, e.height);
    EXPECT_EQ(h.biBitCount, 24);
    // GDI reads it as a bitmap of that size.
    HBITMAP loaded = static_cast<HBITMAP>(LoadImageW(program, MAKEINTRESOURCEW(e.id), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(loaded, nullptr);
    BITMAP info{};
    GetObjectW(loaded, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, e.width);
    EXPECT_EQ(info.bmHeight, e.height);
    DeleteObject(loaded);
  }
}

TEST_F(ProgramResources, IconHoldsThreeSizesThatWindowsCanOpen) {
  std::vector<BYTE> group = Resource(IDI_PANELCAST, RT_GROUP_ICON);
  ASSERT_GE(group.size(), 6u);
  WORD count = group[4] | (group[5] << 8);
  ASSERT_EQ(count, 3);
  ASSERT_EQ(group.size(), 6u + 14u * count);
  std::vector<int> sizes;
  for (int i = 0; i < count; ++i) {
    const BYTE* entry = group.data() + 6 + 14 * i;
    sizes.push_back(entry[0]);
    WORD iconId = entry[12] | (entry[13] << 8);
    std::vector<BYTE> image = Resource(iconId, RT_ICON);
    ASSERT_FALSE(image.empty());
    HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE,
                                          0x00030000, entry[0], entry[0], 0);
    EXPECT_NE(icon, nullptr) << "size " << int(entry[0]);
    if (icon) DestroyIcon(icon);
  }
  EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48}));
}

// Every processorArchitecture a manifest names.
std::vector<std::string> Architectures(const std::string& manifest) {
  std::vector<std::string> found;
  const std::string key = "processorArchitecture=\"";
  for (auto at = manifest.find(key); at != std::string::npos; at = manifest.find(key, at + 1)) {
    const auto start = at + key.size();
    found.push_back(manifest.substr(start, manifest.find('"', start) - start));
  }
  return found;
}

std::string ManifestText(int id) {
  HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(id), RT_MANIFEST);
  if (!found) return {};
  const char* data = static_cast<const char*>(LockResource(LoadResource(program, found)));
  return data ? std::string(data, SizeofResource(program, found)) : std::string();
}

TEST_F(ProgramResources, ManifestAsksForCommonControls6AsInvokerAndDpiAwareness) {
  const std::string text = ManifestText(1);
  ASSERT_FALSE(text.empty());
  for (const char* wanted :
       {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
        "publicKeyToken=\"6595b64144ccf1df\"", "language=\"*\"", "level=\"asInvoker\"", "uiAccess=\"false\"",
        "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"})
    EXPECT_NE(text.find(wanted), std::string::npos) << wanted;
}

// The program's own identity, common controls and the simulator's client library, each in the
// architecture of this build (the test has the program's bitness): Windows refuses to start a
// 64-bit program whose manifest asks for x86 assemblies.
TEST_F(ProgramResources, ManifestsNameEveryAssemblyInTheProgramsArchitecture) {
  const std::string own = sizeof(void*) == 8 ? "amd64" : "x86";
  EXPECT_EQ(Architectures(ManifestText(1)), (std::vector<std::string>{own, own}));
  const std::string simulator = ManifestText(2);
  EXPECT_NE(simulator.find("name=\"Microsoft.FlightSimulator.SimConnect\""), std::string::npos);
  EXPECT_EQ(Architectures(simulator), std::vector<std::string>{own});
}

// What the file's properties show: the product, a description naming the build's processor
// architecture (the test has the program's bitness), and the build's version as text and numbers.
TEST_F(ProgramResources, VersionInformationNamesTheProductTheArchitectureAndTheVersion) {
  DWORD ignored = 0;
  std::vector<BYTE> info(GetFileVersionInfoSizeW(programPath.c_str(), &ignored));
  ASSERT_FALSE(info.empty()) << "no version information";
  ASSERT_TRUE(GetFileVersionInfoW(programPath.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
  const auto text = [&](const std::wstring& name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring key = L"\\StringFileInfo\\040904B0\\" + name;
    const bool found = VerQueryValueW(info.data(), key.c_str(), &value, &length) && length > 0;
    return found ? std::wstring(static_cast<const wchar_t*>(value)) : L"(missing)";
  };
  const std::wstring arch = sizeof(void*) == 8 ? L"x64" : L"x86";
  EXPECT_EQ(text(L"ProductName"), L"Panelcast");
  EXPECT_EQ(text(L"FileDescription"), L"Panelcast for Flight Instrument Panels (" + arch + L")");
  EXPECT_EQ(text(L"ProductVersion"), PANELCAST_VERSION_WIDE);
  EXPECT_EQ(text(L"FileVersion"), PANELCAST_VERSION_WIDE);
  EXPECT_EQ(text(L"OriginalFilename"), L"Panelcast.exe");

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_EQ(length, sizeof *fixed);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  wchar_t numbers[32];
  std::swprintf(numbers, 32, L"%u.%02u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS));
  EXPECT_EQ(std::wstring(numbers), PANELCAST_VERSION_WIDE);
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
}

// ---- Dialog templates ----

struct TemplateExpectation {
  int id;
  const wchar_t* caption;
  short cx, cy;
  DWORD styleSet, styleClear, exStyleSet;
};

TEST_F(ProgramResources, DialogTemplatesHaveTheirFrameCaptionSizeAndFont) {
  const TemplateExpectation expected[] = {
      {IDD_MAIN, L"Zivovi Panelcast", 506, 191, DS_CENTER | WS_CAPTION | DS_SHELLFONT,
       WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE | WS_POPUP, WS_EX_CLIENTEDGE},
      {IDD_ABOUT, L"About", 230, 138,
       WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME | DS_CENTER | DS_SETFOREGROUND | DS_SHELLFONT,
       WS_SYSMENU, WS_EX_CLIENTEDGE},
      {IDD_DEVICE_INFO, L"Device Information", 290, 178,
       WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SHELLFONT, WS_SYSMENU, 0},
      {IDD_REGION_PICKER, L"", 321, 241, WS_POPUP | WS_VISIBLE | WS_THICKFRAME | DS_CENTER | DS_SHELLFONT,
       WS_CAPTION | WS_SYSMENU, 0},
  };
  for (const TemplateExpectation& e : expected) {
    SCOPED_TRACE("dialog " + std::to_string(e.id));
    std::vector<BYTE> data = Resource(e.id, RT_DIALOG);
    DialogTemplate h;
    ASSERT_TRUE(ReadDialogTemplate(data.data(), static_cast<DWORD>(data.size()), h));
    EXPECT_EQ(h.style & e.styleSet, e.styleSet);
    EXPECT_EQ(h.style & e.styleClear, 0u);
    EXPECT_EQ(h.exStyle & e.exStyleSet, e.exStyleSet);
    EXPECT_EQ(h.cx, e.cx);
    EXPECT_EQ(h.cy, e.cy);
    EXPECT_EQ(h.caption, e.caption);
    EXPECT_EQ(h.pointSize, 8);
    EXPECT_EQ(h.typeface, L"MS Shell Dlg");
  }
}

// One control of a template, in template (tab) order. `style` bits must all be set, and the bits
// of `typeMask` must equal those of `style` (a button's or static's kind; for the list box, the
// sorting and multiple-selection bits that must stay clear).
struct ControlExpectation {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  DWORD style, typeMask;
  RECT dialogUnits;  // x, y, width, height
  DWORD exStyle = 0;
};

constexpr DWORD kButtonType = BS_TYPEMASK, kStaticType = SS_TYPEMASK, kNoType = 0;
constexpr DWORD kEditStyle = ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;

void ExpectControls(int dialogId, const std::vector<ControlExpectation>& expected) {
  SCOPED_TRACE("dialog " + std::to_string(dialogId));
  HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(dialogId), RT_DIALOG);
  ASSERT_NE(found, nullptr);
  DialogTemplate dialog;
  ASSERT_TRUE(ReadDialogTemplate(LockResource(LoadResource(program, found)), SizeofResource(program, found), dialog));
  ASSERT_EQ(dialog.items.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const ControlExpectation& e = expected[i];
    const DialogItemTemplate& item = dialog.items[i];
    SCOPED_TRACE("control " + std::to_string(i) + " (id " + std::to_string(e.id) + ")");
    EXPECT_EQ(static_cast<int>(item.id), e.id);
    EXPECT_EQ(_wcsicmp(item.className.c_str(), e.className), 0) << "class";
    EXPECT_EQ(item.text, e.text);
    EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
    EXPECT_EQ(item.style & (e.style & ~e.typeMask), e.style & ~e.typeMask) << std::hex << item.style;
    EXPECT_EQ(item.style & e.typeMask, e.style & e.typeMask) << std::hex << item.style;
    EXPECT_EQ(item.exStyle, e.exStyle);
    EXPECT_EQ(item.x, e.dialogUnits.left);
    EXPECT_EQ(item.y, e.dialogUnits.top);
    EXPECT_EQ(item.cx, e.dialogUnits.right);
    EXPECT_EQ(item.cy, e.dialogUnits.bottom);
  }
}

INT_PTR CALLBACK SilentDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The dialog manager builds every template, every control class exists, and the main window's
// banner finds its bitmap (a bitmap static sizes itself to its picture: 734 x 48 pixels).
TEST_F(ProgramResources, EveryTemplateBuildsAWindowWithAllItsControls) {
  for (int id : {IDD_MAIN, IDD_ABOUT, IDD_DEVICE_INFO, IDD_REGION_PICKER}) {
    SCOPED_TRACE("dialog " + std::to_string(id));
    HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(id), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    DialogTemplate parsed;
    ASSERT_TRUE(ReadDialogTemplate(LockResource(LoadResource(program, found)), SizeofResource(program, found), parsed));
    auto* dialogTemplate = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(program, found)));
    HWND dialog = CreateDialogIndirectParamW(program, dialogTemplate, nullptr, SilentDialog, 0);
    ASSERT_NE(dialog, nullptr);
    std::size_t children = 0;
    HWND last = nullptr;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      ++children, last = child;
    EXPECT_EQ(children, parsed.items.size());
    if (id == IDD_MAIN) {
      RECT banner{};
      GetWindowRect(last, &banner);
      EXPECT_EQ(banner.right - banner.left, 734);
      EXPECT_EQ(banner.bottom - banner.top, 48);
      EXPECT_NE(SendMessageW(last, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
      EXPECT_FALSE(IsWindowVisible(dialog)) << "the main window is created hidden";
    }
    DestroyWindow(dialog);
  }
}

TEST_F(ProgramResources, MainWindowHoldsEveryControlInTabOrder) {
  const wchar_t* B = L"Button";
  const wchar_t* S = L"Static";
  DWORD radio = BS_AUTORADIOBUTTON | WS_TABSTOP, push = BS_PUSHBUTTON | WS_TABSTOP;
  ExpectControls(IDD_MAIN, {
      {IDC_MODE_CUSTOMIZE, B, L"Customize FIP (image, font, color)", radio | WS_GROUP, kButtonType, {13, 71, 123, 10}},
      {IDC_MODE_GPS, B, L"Use FIP as GPS gauge in FSX", radio, kButtonType, {13, 84, 123, 10}},
      {IDC_MODE_LIVE_VIEW, B, L"Use FIP for live view in FSX", radio, kButtonType, {13, 97, 123, 10}},
      {IDC_MODE_STATIC, B, L"Use FIP to show static images", radio, kButtonType, {13, 110, 123, 10}},
      {IDC_MODE_LIVE_MONITOR, B, L"Use FIP for as live monitor", radio, kButtonType, {13, 123, 123, 10}},
      {IDC_DEVICE_LIST, L"ListBox", L"", LBS_NOTIFY | WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT | WS_GROUP,
       LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL, {157, 70, 118, 108}},
      {IDC_START, B, L"START", push, kButtonType, {298, 41, 51, 23}},
      {IDC_STOP, B, L"STOP", push, kButtonType, {298, 67, 51, 14}},
      {IDC_SETUP, B, L"Setup\nButton", push | BS_MULTILINE, kButtonType, {298, 91, 51, 23}},
      {IDC_REFRESH, B, L"Refresh", push, kButtonType, {298, 124, 51, 14}},
      {IDC_ABOUT, B, L"About", push, kButtonType, {298, 141, 51, 14}},
      {IDC_EXIT, B, L"Exit", push, kButtonType, {298, 164, 51, 14}},
      {IDC_FORMAT_JPG, B, L"JPG format", radio | WS_GROUP, kButtonType, {370, 71, 53, 10}},
      {IDC_FORMAT_BMP, B, L"BMP format", radio, kButtonType, {425, 71, 50, 10}},
      {IDC_LEFT, L"Edit", L"", kEditStyle | WS_GROUP, kNoType, {391, 113, 34, 14}},
      {IDC_RIGHT, L"Edit", L"", kEditStyle, kNoType, {457, 113, 34, 14}},
      {IDC_TOP, L"Edit", L"", kEditStyle, kNoType, {391, 129, 34, 14}},
      {IDC_BOTTOM, L"Edit", L"", kEditStyle, kNoType, {457, 129, 34, 14}},
      {IDC_DELAY_TRACKBAR, L"msctls_trackbar32", L"", TBS_AUTOTICKS | TBS_TOP | WS_TABSTOP, TBS_VERT,
       {371, 158, 82, 20}, WS_EX_STATICEDGE},
      {IDC_DELAY_TEXT, S, L"0", SS_CENTER | SS_SUNKEN, kStaticType, {457, 162, 34, 11}},
      {IDC_STATIC, S,
       L"The list of available tools to control or customize all available Zivovi Flight Instrument Panel devices",
       SS_LEFT, kStaticType, {15, 40, 121, 24}},
      {IDC_STATIC, B, L"", BS_GROUPBOX, kButtonType, {7, 33, 134, 152}},
      {IDC_STATIC, S, L"The list of Zivovi Flight Instrument Panel devices currently connected to this computer",
       SS_LEFT, kStaticType, {157, 40, 121, 24}},
      {IDC_STATIC, B, L"", BS_GROUPBOX, kButtonType, {149, 33, 134, 152}},
      {IDC_STATIC, B, L"", BS_GROUPBOX, kButtonType, {291, 33, 65, 152}},
      {IDC_STATIC, S, L"Controls to configure various Zivovi Flight Instrument Panel modes", SS_LEFT, kStaticType,
       {371, 40, 121, 15}},
      {IDC_STATIC, B, L"", BS_GROUPBOX, kButtonType, {364, 33, 134, 152}},
      {IDC_STATIC, S, L"Screen coordinates for FIP stream", SS_LEFT, kStaticType, {371, 101, 123, 11}},
      {IDC_STATIC, S, L"Image refresh delay (in milliseconds)", SS_LEFT, kStaticType, {371, 147, 121, 11}},
      {IDC_STATIC, S, L"Default format for static images", SS_LEFT, kStaticType, {371, 60, 121, 11}},
      {IDC_STATIC, S, L"Left", SS_LEFT, kStaticType, {371, 116, 14, 11}},
      {IDC_STATIC, S, L"Right", SS_LEFT, kStaticType, {432, 116, 21, 11}},
      {IDC_STATIC, S, L"Top", SS_LEFT, kStaticType, {371, 132, 20, 11}},
      {IDC_STATIC, S, L"Bottom", SS_LEFT, kStaticType, {432, 132, 24, 11}},
      {IDC_SHOW_HINTS, B, L"Show hints for FIP buttons", BS_AUTOCHECKBOX | WS_TABSTOP, kButtonType,
       {370, 87, 121, 10}},
      {IDC_STATIC, S, L"#231", SS_BITMAP | SS_REALSIZEIMAGE, kStaticType, {8, 3, 489, 30}},
  });
}

TEST_F(ProgramResources, SecondaryDialogsHoldTheirControls) {
  ExpectControls(IDD_ABOUT, {
      {IDC_OK, L"Button", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, kButtonType, {172, 8, 50, 14}},
      {IDC_STATIC, L"Button", L"", BS_GROUPBOX, kButtonType, {7, 4, 155, 127}, WS_EX_TRANSPARENT},
      {IDC_STATIC, L"Static",
       L"Panelcast v" PANELCAST_VERSION_WIDE L"\n\n\nShows live screen areas, a simulator's GPS and still pictures on Flight "
       L"Instrument Panels.\n\nProvided as is, without warranty of any kind.",
       SS_CENTER, kStaticType, {11, 57, 146, 68}},
  });
  ExpectControls(IDD_DEVICE_INFO, {
      {IDC_STATIC, L"Static",
       L"This window contains information about the selected Zivovi Flight Instrument Panel. The text from "
       L"this window can be copied like any other text in any text editor.",
       SS_LEFT, kStaticType, {10, 6, 268, 19}},
      {IDC_REPORT, L"Edit", L"", ES_MULTILINE | ES_AUTOHSCROLL | WS_BORDER, kNoType, {9, 30, 268, 123},
       WS_EX_STATICEDGE},
      {IDC_OK, L"Button", L"OK", BS_DEFPUSHBUTTON, kButtonType, {228, 158, 50, 14}},
  });
  ExpectControls(IDD_REGION_PICKER, {
      {IDC_SET_COORDINATES, L"Button", L"Set Coordinates", BS_DEFPUSHBUTTON | WS_TABSTOP, kButtonType,
       {7, 7, 69, 23}},
  });
}

}  // namespace
