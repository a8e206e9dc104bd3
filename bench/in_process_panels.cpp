#include "bench/in_process_panels.h"

#include <sstream>

#include "devices/slot_table.h"
#include "feeds/bitmap_resource.h"
#include "panel_library/direct_output_api.h"
#include "panel_library/direct_output_binding.h"
#include "tests/driver/wait.h"

namespace benchrig {
namespace {

std::unique_ptr<emu::PanelControl> g_panels;   // test thread only
std::unique_ptr<panelcast::SlotTable> g_table;  // published to the feeds
int g_enumerated = 0;                           // Enumerate calls back on the calling thread

void __stdcall OnEnumerated(directoutput::DeviceHandle device, void* /*context*/) {
  if (g_enumerated < panelcast::kMaxDevices) g_table->slots[g_enumerated++].device = device;
}

std::wstring BesideThisProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + name;
}

}  // namespace

bool LoadInProcessPanels(int panelCount, std::string& problem) {
  const std::wstring pipe = L"\\\\.\\pipe\\panelcast-feeds-" + std::to_wstring(GetCurrentProcessId());
  SetEnvironmentVariableW(L"PANELCAST_EMU_PIPE", pipe.c_str());
  SetEnvironmentVariableW(L"PANELCAST_EMU_COUNT", std::to_wstring(panelCount).c_str());
  HMODULE library = LoadLibraryW(BesideThisProgram(L"DirectOutput.dll").c_str());
  if (!library) return problem = "the stand-in DirectOutput.dll does not load", false;
  if (!panelcast::ResolveDirectOutput(library)) return problem = "entry points missing", false;
  const panelcast::DirectOutputApi& api = panelcast::DirectOutput();
  if (api.Initialize(L"Panelcast") < 0) return problem = "Initialize refused", false;

  g_table = std::make_unique<panelcast::SlotTable>();
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  for (panelcast::DeviceSlot& slot : g_table->slots) {
    panelcast::ResetSlotSettings(slot, width, height, L"C:\\");
  }
  if (api.Enumerate(OnEnumerated, const_cast<char*>("Panelcast")) < 0 ||
      g_enumerated != panelCount) {
    return problem = "enumeration gave " + std::to_string(g_enumerated) + " panels", false;
  }
  panelcast::PublishSlots(g_table.get());

  HMODULE program = LoadLibraryExW(BesideThisProgram(L"Panelcast.exe").c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE);
  if (!program) return problem = "bin/Panelcast.exe does not load as data", false;
  panelcast::SetResourceModule(program);

  g_panels = std::make_unique<emu::PanelControl>(pipe);
  if (!g_panels->WaitForServer(10000)) return problem = "the control channel does not answer", false;
  return true;
}

emu::PanelControl& Panels() { return *g_panels; }
panelcast::SlotTable& Table() { return *g_table; }

std::string SerialOfSlot(int slotIndex) {
  char serial[16];
  wsprintfA(serial, "EMU%04d", slotIndex + 1);
  return serial;
}

PatternWindow::PatternWindow(const RECT& screenRect, std::function<uint32_t(int, int)> colourAt)
    : rect_(screenRect), colourAt_(std::move(colourAt)) {
  const int width = rect_.right - rect_.left, height = rect_.bottom - rect_.top;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels_.push_back(colourAt_(x, y));
  }
  static const ATOM windowClass = [] {
    WNDCLASSW c{};
    c.lpfnWndProc = Procedure;
    c.hInstance = GetModuleHandleW(nullptr);
    c.lpszClassName = L"PanelcastFeedsPattern";
    return RegisterClassW(&c);
  }();
  (void)windowClass;
  window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"PanelcastFeedsPattern", L"pattern",
                            WS_POPUP, rect_.left, rect_.top, width, height, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  UpdateWindow(window_);
}

PatternWindow::~PatternWindow() {
  if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK PatternWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<PatternWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_PAINT && self) {
    const int width = self->rect_.right - self->rect_.left;
    const int height = self->rect_.bottom - self->rect_.top;
    BITMAPINFO info{};  // a top-down 32-bit picture of the pattern
    info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 32, BI_RGB};
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, self->pixels_.data(), &info,
                      DIB_RGB_COLORS);
    EndPaint(window, &paint);
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;
  return DefWindowProcW(window, message, wParam, lParam);
}

bool PatternWindow::WaitUntilShown(DWORD timeoutMs) const {
  const int width = rect_.right - rect_.left, height = rect_.bottom - rect_.top;
  const POINT probes[] = {{1, 1}, {width - 2, 1}, {width / 2, height / 2}, {1, height - 2},
                          {width - 2, height - 2}};
  return WaitPumping(
      [&] {
        HDC screen = GetDC(nullptr);
        bool shown = true;
        for (const POINT& p : probes) {
          const COLORREF c = GetPixel(screen, rect_.left + p.x, rect_.top + p.y);
          const uint32_t rgb = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
          shown = shown && rgb == colourAt_(p.x, p.y);
        }
        ReleaseDC(nullptr, screen);
        return shown;
      },
      timeoutMs);
}

bool WaitPumping(const std::function<bool()>& condition, DWORD timeoutMs) {
  return driver::WaitUntil(
      [&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        return condition();
      },
      timeoutMs);
}

}  // namespace benchrig
