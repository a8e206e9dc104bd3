#include "tests/live/live_test_support.h"

#include "feeds/bitmap_resource.h"
#include "tests/driver/driver.h"

namespace livetest {
namespace {

std::unique_ptr<driver::PanelSession> g_run;  // the run the tests of this program share
std::wstring g_runPanels;

// The emulator's panels as StartWithPanels names them.
std::wstring PanelList(emu::PanelControl& panels) {
  std::string list;
  for (const emu::PanelInfo& panel : panels.Panels()) {
    list += (list.empty() ? "" : ",") + panel.serial + (panel.type == "fip" ? "" : ":" + panel.type);
  }
  return std::wstring(list.begin(), list.end());
}

}  // namespace

ScreenPattern::ScreenPattern(const RECT& rect, std::function<uint32_t(int x, int y)> colourAt) {
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = std::thread([this, rect, colourAt, ready] {
    threadId_ = GetCurrentThreadId();
    feeds_test::PatternWindow window(rect, colourAt);
    shown_ = feeds_test::WaitPumping([&] { return window.WaitUntilShown(0); }, kTimeoutMs);
    SetEvent(ready);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  });
  WaitForSingleObject(ready, kTimeoutMs * 2);
  CloseHandle(ready);
}

ScreenPattern::~ScreenPattern() {
  PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
  thread_.join();
}

uint32_t Quadrants(int width, int height, int x, int y) {
  const bool right = x >= width / 2;
  if (y < height / 2) return right ? 0x00FF00 : 0xFF0000;
  return right ? 0xFFFFFF : 0x0000FF;
}

uint32_t ExpectedQuadrantColour(int x, int y) { return Quadrants(320, 240, x, y); }

void LiveRun::SetUp() {
  pattern_ = std::make_unique<ScreenPattern>(kQuadrantsRect, [](int x, int y) {
    return Quadrants(kQuadrantsRect.right, kQuadrantsRect.bottom, x, y);
  });
  ASSERT_TRUE(pattern_->Shown());
}

void LiveRun::TearDownTestSuite() { g_run.reset(); }

bool LiveRun::Run(const std::wstring& panels, driver::LaunchOptions options) {
  if (!g_run || g_runPanels != panels || !g_run->program->Running() ||
      PanelList(*g_run->panels) != panels) {
    g_run.reset();
    g_run = shelltest::StartWithPanels(panels, true, std::move(options));
    g_runPanels = panels;
  }
  main_ = g_run ? g_run->mainWindow : nullptr;
  return g_run != nullptr;
}

driver::PanelSession& LiveRun::Session() { return *g_run; }

void QuadrantsAndOnePanel::SetUp() {
  LiveRun::SetUp();
  session_ = shelltest::StartWithPanelCount(1);
  ASSERT_TRUE(session_);
  main_ = session_->mainWindow;
}

bool StartLiveMonitorOn(HWND main, int line, const RECT& rect, int delayStep) {
  return StartToolOn(main, line, kModeLive, rect, delayStep);
}

bool ShowsRunning(HWND main, bool running) {
  return driver::WaitUntil(
      [&] { return driver::IsEnabled(main, kStop) == running && driver::IsEnabled(main, kStart) != running; },
      kTimeoutMs);
}

bool HasPages(emu::PanelControl& panels, const std::string& serial, bool pages) {
  return driver::WaitUntil(
      [&] {
        const auto panel = panels.Panel(serial);
        return panel && panel->pages.empty() != pages;
      },
      kTimeoutMs);
}

uint32_t ImageCount(emu::PanelControl& panels, const std::string& serial, uint32_t page) {
  const auto panel = panels.Panel(serial);
  for (const auto& info : panel ? panel->pages : std::vector<emu::PageInfo>{}) {
    if (info.number == page) return info.imageCount;
  }
  return 0;
}

std::vector<uint8_t> NextFrame(emu::PanelControl& panels, const std::string& serial, uint32_t more,
                               DWORD timeoutMs) {
  const uint32_t start = ImageCount(panels, serial);
  if (!driver::WaitUntil([&] { return ImageCount(panels, serial) >= start + more; }, timeoutMs,
                         50)) {
    return {};
  }
  return panels.Image(serial, 1);
}

std::vector<std::string> CallNames(emu::PanelControl& panels, const std::string& serial) {
  std::vector<std::string> names;
  for (const auto& call : panels.Log(serial)) names.push_back(call.name);
  return names;
}

std::vector<std::string> Calls(emu::PanelControl& panels, const std::string& serial,
                               const std::string& name) {
  std::vector<std::string> calls;
  for (const auto& call : panels.Log(serial)) {
    if (name.empty() || call.name == name) calls.push_back(feeds_test::DescribeCall(call));
  }
  return calls;
}

shelltest::ExpectedBox BoxOf(const panelcast::Message& message) {
  const UINT icon = message.style & MB_ICONMASK;
  return {message.title, message.text,
          icon == MB_ICONERROR     ? driver::BoxIcon::Error
          : icon == MB_ICONWARNING ? driver::BoxIcon::Warning
                                   : driver::BoxIcon::Information};
}

HWND FocusedWindow(HWND main) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

std::vector<uint8_t> ProgramBitmap(int id) {
  static HMODULE program = LoadLibraryExW((driver::TestProgramFolder() + L"Panelcast.exe").c_str(),
                                          nullptr,
                                          LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  const panelcast::FrameBitmap bitmap = panelcast::LoadFrameBitmap(program, id);
  if (!bitmap) return {};
  return std::vector<uint8_t>(bitmap.pixels, bitmap.pixels + bitmap.length);
}

}  // namespace livetest
