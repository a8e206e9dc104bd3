#include "tests/live/live_test_support.h"

#include <gtest/gtest.h>

#include "tests/driver/driver.h"

namespace livetest {

ScreenPattern::ScreenPattern(const RECT& rect, std::function<uint32_t(int x, int y)> colourAt) {
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = std::thread([this, rect, colourAt, ready] {
    threadId_ = GetCurrentThreadId();
    feeds_test::PatternWindow window(rect, colourAt);
    shown_ = feeds_test::WaitPumping([&] { return window.WaitUntilShown(0); }, kTimeoutMs);
    SetEvent(ready);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
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
  const bool bottom = y >= height / 2;
  if (!bottom) return right ? 0x00FF00 : 0xFF0000;
  return right ? 0xFFFFFF : 0x0000FF;
}

void QuadrantsAndOnePanel::SetUp() {
  pattern_ = std::make_unique<ScreenPattern>(kQuadrantsRect, [](int x, int y) {
    return Quadrants(kQuadrantsRect.right - kQuadrantsRect.left,
                     kQuadrantsRect.bottom - kQuadrantsRect.top, x, y);
  });
  ASSERT_TRUE(pattern_->Shown());
  session_ = shelltest::StartWithPanelCount(1);
  ASSERT_TRUE(session_);
  main_ = session_->mainWindow;
}

uint32_t ExpectedQuadrantColour(int x, int y) { return Quadrants(320, 240, x, y); }

bool StartLiveMonitorOn(HWND main, int line, const RECT& rect, int delayStep) {
  return StartToolOn(main, line, kModeLive, rect, delayStep);
}

uint32_t ImageCount(emu::PanelControl& panels, const std::string& serial, uint32_t page) {
  const auto panel = panels.Panel(serial);
  if (!panel) return 0;
  for (const auto& info : panel->pages) {
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

HWND FocusedWindow(HWND main) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

}  // namespace livetest

#include "feeds/bitmap_resource.h"

namespace livetest {

std::vector<uint8_t> ProgramBitmap(int id) {
  static HMODULE program = LoadLibraryExW((driver::TestProgramFolder() + L"Panelcast.exe").c_str(),
                                          nullptr,
                                          LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  const panelcast::FrameBitmap bitmap = panelcast::LoadFrameBitmap(program, id);
  if (!bitmap) return {};
  return std::vector<uint8_t>(bitmap.pixels, bitmap.pixels + bitmap.length);
}

}  // namespace livetest
