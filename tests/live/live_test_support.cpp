#include "tests/live/live_test_support.h"

#include "feeds/bitmap_resource.h"
#include "tests/driver/driver.h"

namespace livetest {

ScreenPattern::ScreenPattern(const RECT& rect, std::function<uint32_t(int x, int y)> colourAt) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  thread_ = std::thread([this, rect, width, height, colourAt] {
    // The pattern as a packed bottom-up DIB, the background brush of a window class of its own.
    std::vector<uint32_t> dib(sizeof(BITMAPINFOHEADER) / 4);
    *reinterpret_cast<BITMAPINFOHEADER*>(dib.data()) = {sizeof(BITMAPINFOHEADER), width, height,
                                                        1, 32, BI_RGB};
    for (int y = height; y-- > 0;) {
      for (int x = 0; x < width; ++x) dib.push_back(colourAt(x, y));
    }
    const std::wstring name = L"PanelcastTestPattern" + std::to_wstring(GetCurrentThreadId());
    WNDCLASSW c{};
    c.lpfnWndProc = DefWindowProcW;
    c.hInstance = GetModuleHandleW(nullptr);
    c.hbrBackground = CreateDIBPatternBrushPt(dib.data(), DIB_RGB_COLORS);
    c.lpszClassName = name.c_str();
    RegisterClassW(&c);
    HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, name.c_str(), L"pattern",
                                  WS_POPUP, rect.left, rect.top, width, height, nullptr, nullptr,
                                  c.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    threadId_ = GetCurrentThreadId();  // it has a message queue now
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    DestroyWindow(window);
    UnregisterClassW(name.c_str(), c.hInstance);
    DeleteObject(c.hbrBackground);
  });
  const POINT probes[] = {{1, 1}, {width - 2, 1}, {width / 2, height / 2}, {1, height - 2},
                          {width - 2, height - 2}};
  shown_ = driver::WaitUntil([&] {
    if (!threadId_) return false;
    HDC screen = GetDC(nullptr);
    bool shown = true;
    for (const POINT& p : probes) {
      const COLORREF c = GetPixel(screen, rect.left + p.x, rect.top + p.y);
      shown = shown && RGB(GetBValue(c), GetGValue(c), GetRValue(c)) == colourAt(p.x, p.y);
    }
    ReleaseDC(nullptr, screen);
    return shown;
  }, shelltest::kTimeoutMs);
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

bool StartLiveMonitorOn(HWND main, int line, const RECT& rect, int delayStep) {
  return driver::StartToolOn(main, line, IDC_MODE_LIVE_MONITOR, rect, delayStep);
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
  const auto arrived = [&] { return ImageCount(panels, serial) >= start + more; };
  if (!driver::WaitUntil(arrived, timeoutMs, 50)) return {};
  return panels.Image(serial, 1);
}

HWND FocusedWindow(HWND main) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

std::vector<uint8_t> ProgramBitmap(int id) {
  static HMODULE program =
      LoadLibraryExW((driver::TestProgramFolder() + L"Panelcast.exe").c_str(), nullptr,
                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  const panelcast::FrameBitmap bitmap = panelcast::LoadFrameBitmap(program, id);
  if (!bitmap) return {};
  return std::vector<uint8_t>(bitmap.pixels, bitmap.pixels + bitmap.length);
}

}  // namespace livetest
