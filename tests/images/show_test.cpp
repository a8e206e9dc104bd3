// The static image show and the customizing tool's start, end to end: bin/Panelcast.exe with one
// emulated panel, driven through its window, message boxes, the shell's folder browser (whose
// selection the emulator sets from inside the program: that message carries a pointer) and the
// panel's buttons; checked by the boxes, the panel's picture and calls, and the tool's starts.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>
#include <psapi.h>
#include <shellapi.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "feeds/bitmap_resource.h"
#include "resources/resource_ids.h"
#include "tests/driver/call_sequence.h"
#include "tests/driver/driver.h"
#include "tests/feeds/frame_checks.h"
#include "tests/feeds/in_process_panels.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Calls = std::vector<std::string>;
using ColourAt = std::function<uint32_t(int x, int y)>;  // 0x00RRGGBB, (0, 0) top-left
using driver::BoxIcon;

constexpr DWORD kTimeoutMs = 10000;
const std::string kPanel = "EMU0001";
const wchar_t kComputer[] = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";  // a folder, no path

// A picture file of the system's GDI+ encoder (BMP or JPEG); empty when that fails.
enum Encoder : unsigned long { kBmp = 0x557CF400, kJpeg };
Bytes Encoded(int width, int height, const ColourAt& colourAt, Encoder encoder,
              const std::wstring& scratch) {
  namespace flat = Gdiplus::DllExports;
  static const bool started = [] {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  const CLSID clsid = {encoder, 0x1A04, 0x11D3, {0x9A, 0x73, 0, 0, 0xF8, 0x1E, 0xF3, 0x2E}};
  std::vector<uint32_t> pixels;
  for (int i = 0; i < width * height; ++i) pixels.push_back(colourAt(i % width, i / width));
  Gdiplus::GpBitmap* bitmap = nullptr;
  const bool saved =
      started &&
      flat::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppRGB,
                                      reinterpret_cast<BYTE*>(pixels.data()), &bitmap) == 0 &&
      flat::GdipSaveImageToFile(bitmap, scratch.c_str(), &clsid, nullptr) == 0;
  if (bitmap) flat::GdipDisposeImage(bitmap);
  std::ifstream in(std::string(scratch.begin(), scratch.end()), std::ios::binary);
  return saved ? Bytes(std::istreambuf_iterator<char>(in), {}) : Bytes{};
}

// 4x4 solid blocks in well-separated colours, turned by `shift` rows of the colour table.
ColourAt Blocks(int width, int height, int shift) {
  static constexpr uint32_t kColours[4][4] = {{0xE01030, 0x20C040, 0x3040D0, 0xF0F020},
                                              {0x10E0E0, 0xC020C0, 0x808080, 0x402000},
                                              {0xFF8000, 0x0080FF, 0x80FF00, 0x602080},
                                              {0xFFFFFF, 0x101010, 0xA05030, 0x30A050}};
  return [=](int x, int y) { return kColours[(y * 4 / height + shift) % 4][x * 4 / width]; };
}
// Every pixel unlike its neighbours: any scaling or shift shows.
uint32_t Noise(int x, int y) {
  return (x * 73 + y * 151) % 256 << 16 | (x * 31 + y * 17) % 256 << 8 | (x ^ y) % 256;
}

constexpr int kKept = -1;  // the picture before stays
enum { kJpegHalved, kJpegEnlarged, kBmpNamedJpg, kBmpStretched, kBmpHalved };
// In frame pixels; those fewer than `margin` pixels from a block's edge, where scaling and the
// encoder blend neighbours, are left out. An enlarged JPEG shows the encoder's losses larger.
const struct {
  ColourAt colours;
  int tolerance, margin;
} kPictures[] = {{Blocks(320, 240, 0), 32, 4}, {Blocks(320, 240, 1), 48, 14}, {Noise, 2, 0},
                 {Blocks(320, 240, 2), 12, 4}, {Blocks(320, 240, 3), 12, 4}};

// A message box; an error here comes with the warning icon, information with its own.
struct Box {
  const wchar_t *title, *text;
};
const Box kImagePrompt{L"Information", L"Please select the folder with the set of static images "
                                       L"to be shown in FIP device..."};
const Box kImagesMissing{L"Error", L"Failed to locate images for static showing. Please select "
                                   L"the folder with suitable images..."};
const Box kImagesChosen{L"Information", L"The new folder has been selected. Please use the \"Start"
                        L"\" button to start showing the images on the selected FIP device..."};
const Box kToolPrompt{L"Information", L"Please select the folder with the Skinwright tool files: "
                                      L"\"Skinwright_x86.exe\" and \"Skinwright_x64.exe\"..."};
const Box kToolChosen{L"Information", L"The new folder has been selected. Please use the \"Start"
                                      L"\" button to customize available FIP devices..."};
const Box kToolFailed{L"Error", L"Failed to start the Skinwright utility. Please make sure that "
                                L"the utility's files are not damaged..."};
const Box kCanceled{L"Information",
                    L"Folder selection canceled. Current folder settings were not changed..."};
const Box kFolderFailed{L"Error", L"Failed to select this folder due to an error. Please try "
                                  L"selecting again..."};

// START or SETUP clicked; the box `before`, then the browser (none without a folder) with its
// selection moved to `folder`, OK found enabled or not, answered with OK (`choose`) or Cancel;
// then the box `after` (none: no box), and the show running or not.
struct FolderStep {
  int button;
  const Box* before;
  const wchar_t* folder;
  bool okEnabled, choose;
  const Box* after;
  bool runs;
};

const std::string kFrame = "SetImage page=1 index=0 len=230400";
std::string Led(int light, int value) {
  return "SetLed page=1 index=" + std::to_string(light) + " value=" + std::to_string(value);
}
Calls operator+(Calls a, const Calls& b) { return a.insert(a.end(), b.begin(), b.end()), a; }
Calls Blinked(int n) { return {Led(n, 0), Led(n, 1), Led(n, 0), Led(n, 1), Led(n, 0), Led(n, 1)}; }
Calls Shown(int light) { return Calls{kFrame} + Blinked(light); }
Calls AllLights(int v) {
  return {Led(1, v), Led(2, v), Led(3, v), Led(4, v), Led(5, v), Led(6, v)};
}
// A start: both handlers, the page, the splash, the light sweep.
const Calls kStart = Calls{"RegisterPageCallback ctx=\"Zivovi Panelcast\"",
                           "RegisterSoftButtonCallback ctx=\"Zivovi Panelcast\"",
                           "AddPage page=1 flags=1", kFrame} + AllLights(1);

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

BOOL CALLBACK IsBrowserOf(HWND window, LPARAM search) {
  auto& [pid, found] = *reinterpret_cast<std::pair<DWORD, HWND>*>(search);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  const bool browser = owner == pid && IsWindowVisible(window) &&
                       FindWindowExW(window, nullptr, L"SysTreeView32", nullptr);
  if (browser) found = window;
  return !browser;
}

class Images : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    files_ = temp + std::to_wstring(GetCurrentProcessId()) + L"-images";
    const std::wstring bin = driver::TestProgramFolder(), x86 = bin + L"Skinwright_x86.exe";
    std::wstring x64 = bin + L"Skinwright_x64.exe";
    if (GetFileAttributesW(x64.c_str()) == INVALID_FILE_ATTRIBUTES) x64 = x86;  // never started
    for (const wchar_t* name : {L"", L"\\show", L"\\jpeg", L"\\empty", L"\\x86", L"\\x64",
                                L"\\tool"}) {
      ASSERT_TRUE(CreateDirectoryW((files_ + name).c_str(), nullptr));
    }
    const auto make = [&](int width, int height, const ColourAt& colours, Encoder encoder) {
      return Encoded(width, height, colours, encoder, Folder(L"empty\\scratch"));
    };
    const Bytes jpeg = make(640, 480, Blocks(640, 480, 0), kJpeg);
    const Bytes bmp = make(320, 240, Noise, kBmp);
    ASSERT_FALSE(jpeg.empty() || bmp.empty()) << "no encoder";
    const std::pair<const wchar_t*, Bytes> files[] = {
        {L"show\\FIP1.JPG", jpeg},
        {L"show\\FIP2.JPG", make(160, 120, Blocks(160, 120, 1), kJpeg)},
        {L"show\\FIP3.JPG", bmp},
        {L"show\\FIP4.JPG", Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() / 3)},
        {L"show\\FIP5.JPG", {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'}},
        {L"show\\FIP1.BMP", make(100, 100, Blocks(100, 100, 2), kBmp)},
        {L"show\\FIP2.BMP", make(640, 480, Blocks(640, 480, 3), kBmp)},
        {L"show\\FIP3.BMP", {}},
        {L"show\\FIP4.BMP", Bytes(bmp.begin(), bmp.begin() + 54)},  // the headers alone
        {L"jpeg\\FIP1.JPG", jpeg}};
    for (const auto& [name, bytes] : files) {
      std::ofstream(Narrow(Folder(name)), std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    for (const auto& [from, to] :
         {std::pair{x86, L"x86\\Skinwright_x86.exe"}, {x64, L"x64\\Skinwright_x64.exe"},
          {x86, L"tool\\Skinwright_x86.exe"}, {x64, L"tool\\Skinwright_x64.exe"}}) {
      ASSERT_TRUE(CopyFileW(from.c_str(), Folder(to).c_str(), FALSE));
    }
    program_ = LoadLibraryExW((bin + L"Panelcast.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    driver::LaunchOptions options;
    options.environment.emplace_back(L"PANELCAST_SKINWRIGHT_LOG", Folder(L"tool.log"));
    session_ = driver::LaunchWithPanels(1, options);
    ASSERT_TRUE(program_ && session_) << "the program did not come up";
    window_ = session_->mainWindow;
    pid_ = session_->program->Id();
    // Without the stand-in device-information library the panel cannot be identified.
    const auto notice = driver::AnswerNextMessageBox(pid_, IDOK, kTimeoutMs);
    ASSERT_TRUE(notice && notice->text.rfind(L"Getting hardware info", 0) == 0);
    driver::SelectListLine(window_, IDC_DEVICE_LIST, 0);
  }
  void TearDown() override {
    session_.reset();
    if (program_) FreeLibrary(program_);
    const std::wstring from = files_ + L'\0';  // a list of names, ended by an empty one
    SHFILEOPSTRUCTW remove{nullptr, FO_DELETE, from.c_str(), nullptr,
                           FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI, 0, nullptr, nullptr};
    SHFileOperationW(&remove);
  }

  std::wstring Folder(const wchar_t* name) { return files_ + L"\\" + name; }

  void Set(int button, bool checked) {
    driver::Click(window_, button);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsChecked(window_, button) == checked; },
                                  kTimeoutMs));
  }
  void ExpectBox(const Box& expected) {
    const auto box = driver::AnswerNextMessageBox(pid_, IDOK, kTimeoutMs);
    ASSERT_TRUE(box) << "no message box; expected " << Narrow(expected.text);
    EXPECT_EQ(box->title, expected.title);
    EXPECT_EQ(box->text, expected.text);
    const BoxIcon icon = expected.title == std::wstring(L"Error") ? BoxIcon::Warning
                                                                  : BoxIcon::Information;
    EXPECT_STREQ(driver::BoxIconName(box->icon), driver::BoxIconName(icon));
  }

  // Done once the status line shows the folder, or for the computer folder (no path, no status)
  // once the tree's selected item is a child of its root, the desktop. The tree fills in lazily
  // and now and then drops a selection made meanwhile (its first one included): asked again then.
  void Select(HWND browser, const std::wstring& folder) {
    const auto selected = [&] {
      HWND tree = FindWindowExW(browser, nullptr, L"SysTreeView32", nullptr);
      const LRESULT caret = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
      if (folder == kComputer) {
        return caret && SendMessageW(tree, TVM_GETNEXTITEM, TVGN_PARENT, caret) ==
                            SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
      }
      for (HWND text = nullptr; (text = FindWindowExW(browser, text, L"Static", nullptr));) {
        if (driver::WindowText(text) == folder) return true;
      }
      return false;
    };
    for (int attempt = 0; attempt < 5 && !selected(); ++attempt) {
      ASSERT_TRUE(session_->panels->SelectInFolderBrowser(folder));
      driver::WaitUntil(selected, kTimeoutMs / 5);
    }
    driver::SaveScreenshot(L"folder_browser_last", browser);
    ASSERT_TRUE(selected()) << "the browser does not show " << Narrow(folder) << " selected";
  }

  void Run(const FolderStep& step) {
    driver::Click(window_, step.button);
    if (step.folder) {
      ExpectBox(*step.before);
      std::pair<DWORD, HWND> browser{pid_, nullptr};
      const auto find = [&] { return !EnumWindows(IsBrowserOf, LPARAM(&browser)); };
      ASSERT_TRUE(driver::WaitUntil(find, kTimeoutMs));
      const bool computer = step.folder == kComputer;
      ASSERT_NO_FATAL_FAILURE(Select(browser.second, computer ? step.folder : Folder(step.folder)));
      // The rule runs right after the status line is set, and once more when that is over.
      const auto ok = [&] { return driver::IsEnabled(browser.second, IDOK) == step.okEnabled; };
      EXPECT_TRUE(computer || (driver::WaitUntil(ok, 2000) && ok())) << "OK enabled wrongly";
      // Posted as the button would send it: the browser may have disabled OK.
      driver::PostCommand(browser.second, step.choose ? IDOK : IDCANCEL, BN_CLICKED);
      ASSERT_TRUE(driver::WaitForWindowGone(browser.second, kTimeoutMs));
    }
    if (step.after) {
      ExpectBox(*step.after);
    } else {
      EXPECT_FALSE(driver::WaitForMessageBox(pid_, 1000)) << "a message box";
    }
    EXPECT_EQ(driver::WaitUntil([&] { return Running(); }, step.runs ? kTimeoutMs : 0), step.runs);
  }

  bool Running() { return driver::IsEnabled(window_, IDC_STOP); }
  Calls PanelCalls(std::size_t atLeast = 0) {
    Calls calls;
    driver::WaitUntil([&] { return session_->panels->Log(kPanel).size() >= atLeast; }, kTimeoutMs);
    for (const emu::CallRecord& call : session_->panels->Log(kPanel)) {
      calls.push_back(feeds_test::DescribeCall(call));
    }
    return calls;
  }
  double ProgramMegabytes() {
    PROCESS_MEMORY_COUNTERS memory{};
    GetProcessMemoryInfo(session_->program->Handle(), &memory, sizeof(memory));
    return memory.PagefileUsage / double(1 << 20);
  }

  std::wstring files_;         // the folders made for a test
  HMODULE program_ = nullptr;  // bin/Panelcast.exe as data, for its bitmaps
  std::unique_ptr<driver::PanelSession> session_;
  HWND window_ = nullptr;
  DWORD pid_ = 0;
};

TEST_F(Images, FolderStepsThenTheShowOnThePanel) {
  Set(IDC_MODE_STATIC, true);
  Set(IDC_SHOW_HINTS, false);  // START takes the labels' switch from the box
  // The program's folder (bin/) holds no images; nothing cancelled or failed is kept.
  const FolderStep steps[] = {
      {IDC_START, &kImagesMissing, L"jpeg", true, false, &kCanceled, false},
      {IDC_SETUP, &kImagePrompt, L"empty", false, false, &kCanceled, false},
      {IDC_SETUP, &kImagePrompt, kComputer, false, true, &kFolderFailed, false},
      {IDC_START, &kImagesMissing, L"show", true, true, nullptr, true}};
  emu::PanelControl& panel = *session_->panels;
  for (const FolderStep& step : steps) {
    ASSERT_TRUE(panel.ClearLog());
    ASSERT_NO_FATAL_FAILURE(Run(step));
  }
  EXPECT_TRUE(driver::CallsMatch(PanelCalls(kStart.size() + 7), kStart + Shown(1)));

  // A press on the panel (an encoder bit is a step; 0 the page switched away and back), the
  // calls it makes and the picture then, with the labels of hint bitmap `labels` unless 0.
  const struct {
    const char* what;
    uint32_t buttons;
    Calls calls;
    int shows;
    uint16_t labels;
  } presses[] = {
      {"button 2: a small JPEG", 0x40, Shown(2), kJpegEnlarged, 0},
      {"button 3: a bitmap named .JPG", 0x80, Shown(3), kBmpNamedJpg, 0},
      {"button 4: a JPEG cut short", 0x100, Blinked(4), kKept, 0},
      {"button 5: text named .JPG", 0x200, Blinked(5), kKept, 0},
      {"button 6: no file", 0x400, {Led(6, 0)}, kKept, 0},
      {"on from the encoders' own 1", 0x08, Shown(2), kJpegEnlarged, 0},
      {"on to 3", 0x02, Shown(3), kBmpNamedJpg, 0},
      {"back to 2", 0x04, Shown(2), kJpegEnlarged, 0},
      {"back to 1", 0x10, Shown(1), kJpegHalved, 0},
      {"back from 1 to 6: no file", 0x04, {Led(6, 0)}, kKept, 0},
      {"buttons 1+2: labels on, nothing sent", 0x60, {}, kKept, 0},
      {"button 1 with the JPEG labels", 0x20, Shown(1), kJpegHalved, IDB_HINTS_JPG},
      {"buttons 5+6: the BMP set's image 1", 0x600, Shown(1), kBmpStretched, IDB_HINTS_BMP},
      {"on from 6, kept by the switch, to 1", 0x02, Shown(1), kBmpStretched, IDB_HINTS_BMP},
      {"button 2: a large BMP", 0x40, Shown(2), kBmpHalved, IDB_HINTS_BMP},
      {"button 3: an empty file", 0x80, Blinked(3), kKept, 0},
      {"button 4: a BMP cut after 54 bytes", 0x100, Blinked(4), kKept, 0},
      {"button 5: no file", 0x200, {Led(5, 0)}, kKept, 0},
      {"buttons 1+2: labels off", 0x60, {}, kKept, 0},
      {"buttons 5+6: the JPEG set again", 0x600, Shown(1), kJpegHalved, 0},
      {"buttons 3+4: lights dark", 0x180, AllLights(0), kKept, 0},
      {"on to 2: its light ends dark", 0x08, Shown(2) + Calls{Led(2, 0)}, kJpegEnlarged, 0},
      {"page away and back", 0, AllLights(1) + AllLights(0) + Shown(1) + Calls{Led(1, 0)},
       kJpegHalved, 0},
      {"on from 2, kept by the page", 0x08, Shown(3) + Calls{Led(3, 0)}, kBmpNamedJpg, 0},
      {"buttons 3+4: lights lit", 0x180, AllLights(1), kKept, 0}};
  const double megabytes = ProgramMegabytes();
  for (const auto& press : presses) {
    SCOPED_TRACE(press.what);
    const Bytes before = panel.Image(kPanel, 1);
    ASSERT_TRUE(press.buttons || panel.SwitchPage(kPanel, 0));
    ASSERT_TRUE(panel.ClearLog());
    const uint32_t value = press.buttons;
    ASSERT_TRUE(!value ? panel.SwitchPage(kPanel, 1)
                : (value & 0x1E) == value ? panel.Step(kPanel, value)  // an encoder bit
                                          : panel.SendButtons(kPanel, value));
    EXPECT_TRUE(driver::CallsMatch(PanelCalls(), press.calls));
    const Bytes frame = panel.Image(kPanel, 1);
    if (press.shows == kKept) {
      EXPECT_TRUE(frame == before) << "the picture changed";
      continue;
    }
    ASSERT_EQ(frame.size(), emu::kFrameBytes);
    const panelcast::FrameBitmap hints = panelcast::LoadFrameBitmap(program_, press.labels);
    if (press.labels) {
      ASSERT_TRUE(hints);
      EXPECT_TRUE(feeds_test::CarriesTheLabels(frame, hints.pixels));
    }
    const driver::Picture shown{320, 240, frame},
        labels{320, 240, Bytes(hints.pixels, hints.pixels + hints.length)};
    const auto& picture = kPictures[press.shows];
    int wrong = 0;
    for (int y = 0; y < 240; ++y) {
      for (int x = 0; x < 320; ++x) {
        const int bx = x % 80, by = y % 60, margin = picture.margin;
        wrong += bx >= margin && bx < 80 - margin && by >= margin && by < 60 - margin &&
                 (!press.labels || labels.At(x, y) == 0x010101) &&
                 !driver::Near(shown.At(x, y), picture.colours(x, y), picture.tolerance);
      }
    }
    EXPECT_EQ(wrong, 0) << "pixels unlike the picture; frame in "
                        << Narrow(driver::SaveFramePng(L"static_show_failed", frame));
  }
  // Each render that kept its decoded picture or its frame would hold 0.2 to 1.2 MB.
  EXPECT_LT(ProgramMegabytes() - megabytes, 3.0) << "memory kept by the renders";

  // A stop is seen within about a second and only removes the page.
  ASSERT_TRUE(panel.ClearLog());
  const DWORD stopAt = GetTickCount();
  driver::Click(window_, IDC_STOP);
  ASSERT_TRUE(driver::WaitUntil([&] { return !Running(); }, kTimeoutMs));
  EXPECT_LE(GetTickCount() - stopAt, 2000u);
  EXPECT_TRUE(driver::CallsMatch(PanelCalls(), Calls{"RemovePage page=1"}));

  // A panel that refuses a handler or the page: the show gives up at once and leaves no page.
  for (std::size_t refused = 0; refused < 3; ++refused) {
    SCOPED_TRACE(kStart[refused]);
    ASSERT_TRUE(panel.Fault(kStart[refused].substr(0, kStart[refused].find(' ')), E_FAIL, false));
    ASSERT_TRUE(panel.ClearLog());
    driver::Click(window_, IDC_START);
    const Calls calls = PanelCalls(refused + 1);
    ASSERT_TRUE(driver::WaitUntil(
        [&] { return !Running() && driver::IsEnabled(window_, IDC_START); }, kTimeoutMs));
    EXPECT_TRUE(driver::CallsMatch(calls, Calls(kStart.begin(), kStart.begin() + refused + 1)));
    EXPECT_TRUE(panel.Panel(kPanel)->pages.empty() && driver::MessageBoxWindows(pid_).empty());
  }

  // The folder chosen in Setup is kept: in the BMP format its JPEG alone leaves the splash.
  ASSERT_NO_FATAL_FAILURE(
      Run({IDC_SETUP, &kImagePrompt, L"jpeg", true, true, &kImagesChosen, false}));
  Set(IDC_FORMAT_BMP, true);
  ASSERT_TRUE(panel.ClearLog());
  ASSERT_NO_FATAL_FAILURE(Run({IDC_START, nullptr, nullptr, false, false, nullptr, true}));
  EXPECT_TRUE(driver::CallsMatch(PanelCalls(kStart.size() + 1), kStart + Calls{Led(1, 0)}));
  const panelcast::FrameBitmap splash = panelcast::LoadFrameBitmap(program_, IDB_SPLASH_STATIC);
  ASSERT_TRUE(splash);
  EXPECT_TRUE(panel.Image(kPanel, 1) == Bytes(splash.pixels, splash.pixels + splash.length));
}

// The customizing tool: the folder steps, then the build of the system started in its folder;
// on a 64-bit system a folder with the 32-bit build alone does not do.
TEST_F(Images, ToolStart) {
  Set(IDC_MODE_CUSTOMIZE, true);
  const bool on64 = driver::On64BitSystem();
  const std::string x86 = "Skinwright_x86.exe|" + Narrow(Folder(L"x86"));
  const std::string own =
      (on64 ? "Skinwright_x64.exe|" : "Skinwright_x86.exe|") + Narrow(Folder(L"tool"));
  const Calls none, once = on64 ? none : Calls{x86}, twice = on64 ? none : Calls{x86, x86};
  const Box* const started = on64 ? &kToolFailed : nullptr;
  const struct {
    FolderStep step;
    Calls starts;  // the tool's starts so far, "<file>|<working folder>"
  } steps[] = {{{IDC_START, &kToolPrompt, L"x64", true, false, &kCanceled, false}, none},
               {{IDC_SETUP, &kToolPrompt, kComputer, false, true, &kFolderFailed, false}, none},
               {{IDC_START, &kToolPrompt, L"x86", true, true, started, false}, once},
               {{IDC_START, nullptr, nullptr, false, false, started, false}, twice},
               {{IDC_SETUP, &kToolPrompt, L"tool", true, true, &kToolChosen, false}, twice},
               {{IDC_START, nullptr, nullptr, false, false, nullptr, false}, twice + Calls{own}}};
  for (const auto& [step, starts] : steps) {
    ASSERT_NO_FATAL_FAILURE(Run(step));
    Calls lines;
    driver::WaitUntil([&] {
      std::ifstream log(Narrow(Folder(L"tool.log")));
      lines.clear();
      for (std::string line; std::getline(log, line);) {
        lines.push_back(line.substr(0, line.find('\r')));
      }
      return lines.size() >= starts.size();
    }, kTimeoutMs);
    EXPECT_EQ(lines, starts);
  }
}

}  // namespace
