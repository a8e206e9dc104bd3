// The static image show and the customizing tool's start, through the window, the message boxes,
// the folder browser (its selection set from inside the program) and the panel's buttons.
#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <iterator>

#include "tests/sim/sim_test_support.h"

namespace simtest {
namespace {

namespace msg = panelcast::msg;
using Bytes = std::vector<uint8_t>;
using ColourAt = std::function<uint32_t(int x, int y)>;  // 0x00RRGGBB, (0, 0) top-left

using shelltest::Narrow;

// A picture file of the system's GDI+ encoder (BMP or JPEG); empty when that fails.
enum Encoder : unsigned long { kBmp = 0x557CF400, kJpeg };
Bytes Encoded(int width, int height, const ColourAt& colourAt, Encoder encoder,
              const std::wstring& scratch) {
  static const Gdiplus::Status startup = [] {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr);
  }();
  std::vector<uint32_t> pixels;
  for (int i = 0; i < width * height; ++i) pixels.push_back(colourAt(i % width, i / width));
  const CLSID clsid = {encoder, 0x1A04, 0x11D3, {0x9A, 0x73, 0, 0, 0xF8, 0x1E, 0xF3, 0x2E}};
  Gdiplus::Bitmap bitmap(width, height, width * 4, PixelFormat32bppRGB,
                         reinterpret_cast<BYTE*>(pixels.data()));
  if (startup || bitmap.Save(scratch.c_str(), &clsid, nullptr)) return {};  // Ok is 0
  std::ifstream in(Narrow(scratch), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// 4x4 solid blocks in 16 colours 85 apart in red or green, turned by `shift` rows.
ColourAt Blocks(int width, int height, int shift) {
  return [=](int x, int y) {
    const uint32_t row = (y * 4 / height + shift) % 4, column = x * 4 / width;
    return column * 85 << 16 | row * 85 << 8 | 0x40;
  };
}
// Every pixel unlike its neighbours: any scaling or shift shows.
uint32_t Noise(int x, int y) {
  return (x * 73 + y * 151) % 256 << 16 | (x * 31 + y * 17) % 256 << 8 | (x ^ y) % 256;
}

// The pictures as a frame shows them, with the tolerance their encoding and scaling need.
constexpr int kKept = -1;  // the picture before stays
enum { kJpegHalved, kJpegEnlarged, kBmpNamedJpg, kBmpStretched, kBmpHalved };
const std::pair<ColourAt, int> kPictures[] = {{Blocks(320, 240, 0), 32}, {Blocks(320, 240, 1), 48},
                                              {Noise, 2}, {Blocks(320, 240, 2), 12},
                                              {Blocks(320, 240, 3), 12}};

// START or SETUP clicked; the message `before`, then the browser (none without a folder) with
// its selection moved to `folder`, OK found enabled or not, answered with OK (`choose`) or
// Cancel; then the message `after` (none: no box), and the show running or not.
struct FolderStep {
  int button;
  const panelcast::Message* before;
  const wchar_t* folder;
  bool okEnabled, choose;
  const panelcast::Message* after;
  bool runs;
};

const std::string kFrame = "SetImage page=1 index=0 len=230400";
std::string Led(int light, int value) {
  return "SetLed page=1 index=" + std::to_string(light) + " value=" + std::to_string(value);
}
Lines operator+(Lines a, const Lines& b) { return a.insert(a.end(), b.begin(), b.end()), a; }
Lines Blinked(int n) { return {Led(n, 0), Led(n, 1), Led(n, 0), Led(n, 1), Led(n, 0), Led(n, 1)}; }
Lines Shown(int light) { return Lines{kFrame} + Blinked(light); }
Lines AllLights(int v) { Lines a; for (int n = 1; n <= 6; ++n) a.push_back(Led(n, v)); return a; }
// A start: both handlers, the page, the splash, the light sweep.
const Lines kStart = Lines{"RegisterPageCallback ctx=\"Zivovi Panelcast\"",
                           "RegisterSoftButtonCallback ctx=\"Zivovi Panelcast\"",
                           "AddPage page=1 flags=1", kFrame} + AllLights(1);

class Images : public ProgramRun {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    files_ = temp + std::to_wstring(GetCurrentProcessId()) + L"-images";
    const std::wstring bin = driver::TestProgramFolder(), x86 = bin + L"Skinwright_x86.exe";
    std::wstring x64 = bin + L"Skinwright_x64.exe";
    if (GetFileAttributesW(x64.c_str()) == INVALID_FILE_ATTRIBUTES) x64 = x86;  // never started
    // Left in the prefix's temporary folder, but for the tool's log, which a test reads whole.
    for (const wchar_t* name : {L"", L"show", L"jpeg", L"empty", L"x86", L"x64", L"tool"}) {
      CreateDirectoryW(Folder(name).c_str(), nullptr);
    }
    DeleteFileW(Folder(L"tool.log").c_str());
    const auto make = [&](int width, int height, const ColourAt& colours, Encoder encoder) {
      return Encoded(width, height, colours, encoder, Folder(L"empty\\scratch"));
    };
    const Bytes jpeg = make(640, 480, Blocks(640, 480, 0), kJpeg);
    ASSERT_FALSE(jpeg.empty()) << "no encoder";
    const std::pair<const wchar_t*, Bytes> files[] = {
        {L"show\\FIP1.JPG", jpeg},
        {L"show\\FIP2.JPG", make(160, 120, Blocks(160, 120, 1), kJpeg)},
        {L"show\\FIP3.JPG", make(320, 240, Noise, kBmp)},
        {L"show\\FIP4.JPG", Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() / 3)},
        {L"show\\FIP1.BMP", make(100, 100, Blocks(100, 100, 2), kBmp)},
        {L"show\\FIP2.BMP", make(640, 480, Blocks(640, 480, 3), kBmp)},
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
    driver::LaunchOptions options;
    options.environment.emplace_back(L"PANELCAST_SKINWRIGHT_LOG", Folder(L"tool.log"));
    ASSERT_TRUE(Ready(false, L"Panelcast.exe", options)) << "the program did not come up";
  }
  std::wstring Folder(const wchar_t* name) { return files_ + L"\\" + name; }
  void Run(const FolderStep& step) {
    driver::Click(Main(), step.button);
    if (step.folder) {
      shelltest::ExpectBoxes(Pid(), {BoxOf(*step.before)});
      const HWND browser = WaitForWindowWith(Pid(), L"SysTreeView32");
      ASSERT_TRUE(browser) << "no folder browser";
      // Selected again until the status line shows it: the tree fills in lazily and now and then
      // drops a selection made meanwhile (its first one included).
      const std::wstring folder = Folder(step.folder);
      const auto shown = [&] {
        for (HWND text = nullptr; (text = FindWindowExW(browser, text, L"Static", nullptr));) {
          if (driver::WindowText(text) == folder) return true;
        }
        Panel().SelectInFolderBrowser(folder);
        return false;
      };
      ASSERT_TRUE(driver::WaitUntil(shown, kTimeoutMs, 3000)) << "not shown: " << Narrow(folder);
      // The rule runs right after the status line is set, and once more when that is over.
      const auto ok = [&] { return driver::IsEnabled(browser, IDOK) == step.okEnabled; };
      EXPECT_TRUE(driver::WaitUntil(ok, 2000) && ok()) << "OK enabled wrongly";
      // Posted as the button would send it: the browser may have disabled OK.
      driver::PostCommand(browser, step.choose ? IDOK : IDCANCEL, BN_CLICKED);
      ASSERT_TRUE(driver::WaitForWindowGone(browser, kTimeoutMs));
    }
    if (step.after) {
      shelltest::ExpectBoxes(Pid(), {BoxOf(*step.after)});
    } else {
      EXPECT_TRUE(shelltest::NoMessageBoxFor(Pid(), 1000)) << "a message box";
    }
    EXPECT_TRUE(step.runs ? Running(true) : !driver::IsEnabled(Main(), IDC_STOP)) << "running";
  }

  std::wstring files_;  // the folders made for a test
};

TEST_F(Images, FolderStepsThenTheShowOnThePanel) {
  driver::ClickAndSettle(Main(), IDC_MODE_STATIC);
  driver::ClickAndSettle(Main(), IDC_SHOW_HINTS);  // off: START takes the labels' switch from it
  // The program's folder (bin/) holds no images; nothing cancelled or failed is kept.
  const FolderStep steps[] = {
      {IDC_START, &msg::kImagesMissing, L"jpeg", true, false, &msg::kFolderCanceled, false},
      {IDC_SETUP, &msg::kSelectImageFolder, L"empty", false, false, &msg::kFolderCanceled, false},
      {IDC_START, &msg::kImagesMissing, L"show", true, true, nullptr, true}};
  for (const FolderStep& step : steps) {
    ASSERT_TRUE(Panel().ClearLog());
    ASSERT_NO_FATAL_FAILURE(Run(step));
  }
  EXPECT_TRUE(driver::CallsMatch(Calls(kStart.size() + 7), kStart + Shown(1)));

  // A press (an encoder bit is a step; 0 the page switched away and back), its calls and the
  // picture then, with hint bitmap `labels` unless 0; the values are the decoder's own table.
  const struct {
    const char* what;
    uint32_t buttons;
    Lines calls;
    int shows;
    uint16_t labels;
  } presses[] = {
      {"button 2: a small JPEG", 0x40, Shown(2), kJpegEnlarged, 0},
      {"button 3: a bitmap named .JPG", 0x80, Shown(3), kBmpNamedJpg, 0},
      {"button 4: a JPEG cut short", 0x100, Blinked(4), kKept, 0},
      {"button 5: no file", 0x200, {Led(5, 0)}, kKept, 0},
      {"back from the encoders' own 1 to 6: no file", 0x04, {Led(6, 0)}, kKept, 0},
      {"buttons 1+2: labels on, nothing sent", 0x60, {}, kKept, 0},
      {"button 1 with the JPEG labels", 0x20, Shown(1), kJpegHalved, IDB_HINTS_JPG},
      {"buttons 5+6: the BMP set's image 1", 0x600, Shown(1), kBmpStretched, IDB_HINTS_BMP},
      {"on from 6, kept by the switch, to 1", 0x02, Shown(1), kBmpStretched, IDB_HINTS_BMP},
      {"button 2: a large BMP", 0x40, Shown(2), kBmpHalved, IDB_HINTS_BMP},
      {"buttons 1+2: labels off", 0x60, {}, kKept, 0},
      {"buttons 5+6: the JPEG set again", 0x600, Shown(1), kJpegHalved, 0},
      {"buttons 3+4: lights dark", 0x180, AllLights(0), kKept, 0},
      {"on to 2: its light ends dark", 0x08, Shown(2) + Lines{Led(2, 0)}, kJpegEnlarged, 0},
      {"page away and back", 0, AllLights(1) + AllLights(0) + Shown(1) + Lines{Led(1, 0)},
       kJpegHalved, 0},
      {"on from 2, kept by the page", 0x08, Shown(3) + Lines{Led(3, 0)}, kBmpNamedJpg, 0}};
  for (const auto& press : presses) {
    SCOPED_TRACE(press.what);
    const Bytes before = Panel().Image(kSerial, 1);
    const uint32_t value = press.buttons;
    ASSERT_TRUE(value || Panel().SwitchPage(kSerial, 0));
    ASSERT_TRUE(Panel().ClearLog());
    ASSERT_TRUE(!value                    ? Panel().SwitchPage(kSerial, 1)
                : (value & 0x1E) == value ? Panel().Step(kSerial, value)  // an encoder bit
                                          : Panel().SendButtons(kSerial, value));
    EXPECT_TRUE(driver::CallsMatch(Calls(), press.calls));
    const Bytes frame = Panel().Image(kSerial, 1);
    if (press.shows == kKept) {
      EXPECT_TRUE(frame == before) << "the picture changed";
      continue;
    }
    ASSERT_EQ(frame.size(), emu::kFrameBytes);
    if (press.labels) {
      EXPECT_TRUE(
          feeds_test::CarriesTheLabels(frame, livetest::ProgramBitmap(press.labels).data()));
    }
    // Points 20 and 15 pixels inside the blocks, where neither scaling nor the encoder blends
    // neighbours; the labels' columns left out when they are shown.
    const auto& [colours, tolerance] = kPictures[press.shows];
    int wrong = 0;
    for (int y = 15; y < 240; y += 30) {
      for (int x = press.labels ? 60 : 20; x < 320; x += 40) {
        wrong += !driver::Near(feeds_test::FramePixel(frame, x, y), colours(x, y), tolerance);
      }
    }
    EXPECT_EQ(wrong, 0) << "points unlike the picture; frame in "
                        << Narrow(driver::SaveFramePng(L"static_show_failed", frame));
  }

  // A stop only removes the page.
  ASSERT_TRUE(Panel().ClearLog());
  ASSERT_TRUE(PressStop());
  EXPECT_TRUE(driver::CallsMatch(Calls(), Lines{"RemovePage page=1"}));
}

// The customizing tool: the folder steps, then the build of the system started in its folder;
// on a 64-bit system a folder with the 32-bit build alone does not do.
TEST_F(Images, ToolStart) {
  driver::ClickAndSettle(Main(), IDC_MODE_CUSTOMIZE);
  const bool on64 = driver::On64BitSystem();
  const std::string x86 = "Skinwright_x86.exe|" + Narrow(Folder(L"x86"));
  const std::string own =
      (on64 ? "Skinwright_x64.exe|" : "Skinwright_x86.exe|") + Narrow(Folder(L"tool"));
  const Lines none, once = on64 ? none : Lines{x86}, twice = on64 ? none : Lines{x86, x86};
  const panelcast::Message* const started = on64 ? &msg::kToolStartFailed : nullptr;
  const auto* prompt = &msg::kSelectToolFolder;
  const struct {
    FolderStep step;
    Lines starts;  // the tool's starts so far, "<file>|<working folder>"
  } steps[] = {{{IDC_START, prompt, L"x64", true, false, &msg::kFolderCanceled, false}, none},
               {{IDC_START, prompt, L"x86", true, true, started, false}, once},
               {{IDC_START, nullptr, nullptr, false, false, started, false}, twice},
               {{IDC_SETUP, prompt, L"tool", true, true, &msg::kToolFolderSelected, false}, twice},
               {{IDC_START, nullptr, nullptr, false, false, nullptr, false}, twice + Lines{own}}};
  for (const auto& [step, starts] : steps) {
    ASSERT_NO_FATAL_FAILURE(Run(step));
    Lines lines;
    const auto logged = [&] {
      std::ifstream log(Narrow(Folder(L"tool.log")));
      lines.clear();
      for (std::string l; std::getline(log, l);) lines.push_back(l.substr(0, l.find('\r')));
      return lines.size() >= starts.size();
    };
    driver::WaitUntil(logged, kTimeoutMs);
    EXPECT_EQ(lines, starts);
  }
}

}  // namespace
}  // namespace simtest
