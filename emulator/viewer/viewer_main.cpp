// PanelViewer: shows every emulated panel of a running program and lets a person use them.
// Start it with the pipe name as its argument, or with PANELCAST_EMU_PIPE set.
#include <windows.h>
#include <windowsx.h>

#include <cstdio>
#include <memory>

#include "emulator/viewer/panel_view.h"
#include "emulator/viewer/viewer_link.h"

namespace {

constexpr int kTopBar = 44;
constexpr int kPanelsPerRow = 3;
constexpr int kSerialEdit = 101, kOtherType = 102, kAddPanel = 103;

// The window's state; only the window's thread touches it.
struct Viewer {
  std::unique_ptr<viewer::ViewerLink> link;
  std::unique_ptr<viewer::Snapshot> shown = std::make_unique<viewer::Snapshot>();
  std::wstring pipeName;
  std::string pressedSerial;  // the panel whose button the mouse holds down
  uint32_t pressedButton = 0;
  int added = 0;              // panels added from here, for the next suggested serial
  HWND serialEdit = nullptr;
  HWND otherType = nullptr;
};
Viewer g_viewer;

POINT PanelOrigin(std::size_t index) {
  return {static_cast<LONG>(8 + (index % kPanelsPerRow) * viewer::kPanelWidth),
          static_cast<LONG>(kTopBar + (index / kPanelsPerRow) * viewer::kPanelHeight)};
}

std::string Utf8(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '_';
  return out;
}

void SuggestSerial() {
  wchar_t serial[32];
  std::swprintf(serial, 32, L"VIEW%04d", ++g_viewer.added);
  SetWindowTextW(g_viewer.serialEdit, serial);
}

// Which panel, and where on it, a point in the window falls.
const emu::PanelInfo* PanelAt(POINT point, viewer::Hit& hit, POINT* origin = nullptr) {
  const auto& panels = g_viewer.shown->panels;
  for (std::size_t i = 0; i < panels.size(); ++i) {
    hit = viewer::HitTest(PanelOrigin(i), point);
    if (origin != nullptr) *origin = PanelOrigin(i);
    if (hit.kind != viewer::Hit::Kind::None) return &panels[i];
  }
  return nullptr;
}

void OnCreate(HWND window) {
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  g_viewer.serialEdit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                                        10, 10, 120, 24, window, (HMENU)kSerialEdit, nullptr, nullptr);
  g_viewer.otherType = CreateWindowW(L"BUTTON", L"Other type", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX,
                                     140, 10, 100, 24, window, (HMENU)kOtherType, nullptr, nullptr);
  HWND add = CreateWindowW(L"BUTTON", L"Add panel", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 250, 10,
                           100, 24, window, (HMENU)kAddPanel, nullptr, nullptr);
  for (HWND control : {g_viewer.serialEdit, g_viewer.otherType, add}) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  SuggestSerial();
  g_viewer.link = std::make_unique<viewer::ViewerLink>(window, g_viewer.pipeName);
}

void OnAddPanel() {
  wchar_t serial[64] = {};
  GetWindowTextW(g_viewer.serialEdit, serial, 64);
  if (serial[0] == L'\0') return;
  bool other = Button_GetCheck(g_viewer.otherType) == BST_CHECKED;
  g_viewer.link->Send("ADD " + Utf8(serial) + (other ? " other" : " fip"));
  SuggestSerial();
}

void OnSnapshot(HWND window, viewer::Snapshot* snapshot) {
  g_viewer.shown.reset(snapshot);
  InvalidateRect(window, nullptr, FALSE);
}

void OnMouseDown(HWND window, POINT point) {
  viewer::Hit hit;
  const emu::PanelInfo* panel = PanelAt(point, hit);
  if (panel == nullptr) return;
  switch (hit.kind) {
    case viewer::Hit::Kind::Button:
      g_viewer.pressedSerial = panel->serial;
      g_viewer.pressedButton = hit.button;
      SetCapture(window);
      g_viewer.link->Send("PRESS " + panel->serial + " " + std::to_string(hit.button));
      InvalidateRect(window, nullptr, FALSE);
      break;
    case viewer::Hit::Kind::NextPage:
      g_viewer.link->Send("PAGE " + panel->serial + " " + std::to_string(viewer::NextPage(*panel)));
      break;
    case viewer::Hit::Kind::Remove:
      g_viewer.link->Send("REMOVE " + panel->serial);
      break;
    default:
      break;
  }
}

void OnMouseUp(HWND window) {
  if (g_viewer.pressedButton == 0) return;
  g_viewer.link->Send("RELEASE " + g_viewer.pressedSerial + " " +
                      std::to_string(g_viewer.pressedButton));
  g_viewer.pressedButton = 0;
  ReleaseCapture();
  InvalidateRect(window, nullptr, FALSE);
}

void OnWheel(HWND window, POINT screenPoint, int delta) {
  POINT point = screenPoint;
  ScreenToClient(window, &point);
  viewer::Hit hit;
  POINT origin;
  const emu::PanelInfo* panel = PanelAt(point, hit, &origin);
  if (panel == nullptr) return;
  bool left = viewer::OnLeftHalf(origin, point);
  uint32_t bit = left ? (delta > 0 ? 0x08 : 0x10) : (delta > 0 ? 0x02 : 0x04);
  for (int notch = 0; notch < std::max(1, std::abs(delta) / WHEEL_DELTA); ++notch) {
    g_viewer.link->Send("STEP " + panel->serial + " " + std::to_string(bit));
  }
}

void OnPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  // Drawn off screen first so the ten updates a second do not flicker.
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
  HGDIOBJ old = SelectObject(memory, bitmap);
  FillRect(memory, &client, GetSysColorBrush(COLOR_BTNFACE));
  SelectObject(memory, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(memory, TRANSPARENT);
  const viewer::Snapshot& shown = *g_viewer.shown;
  std::wstring status = !shown.connected
                            ? L"Waiting for the program on " + g_viewer.pipeName + L"..."
                            : std::to_wstring(shown.panels.size()) + L" panel(s) on " + g_viewer.pipeName;
  if (g_viewer.pipeName.empty()) status = L"No pipe name: pass it as the argument or set PANELCAST_EMU_PIPE.";
  RECT statusRect = {365, 10, client.right - 10, 34};
  DrawTextW(memory, status.c_str(), -1, &statusRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  for (std::size_t i = 0; i < shown.panels.size(); ++i) {
    const emu::PanelInfo& panel = shown.panels[i];
    auto screen = shown.screens.find(panel.serial);
    uint32_t pressed = panel.serial == g_viewer.pressedSerial ? g_viewer.pressedButton : 0;
    viewer::PaintPanel(memory, PanelOrigin(i), panel,
                       screen == shown.screens.end() ? nullptr : screen->second.get(), pressed);
  }
  BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  EndPaint(window, &paint);
}

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      return 0;
    case viewer::kSnapshotMessage:
      OnSnapshot(window, reinterpret_cast<viewer::Snapshot*>(lparam));
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == kAddPanel) OnAddPanel();
      return 0;
    case WM_LBUTTONDOWN:
      OnMouseDown(window, {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      OnMouseUp(window);
      return 0;
    case WM_MOUSEWHEEL:
      OnWheel(window, {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}, GET_WHEEL_DELTA_WPARAM(wparam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnPaint(window);
      return 0;
    case WM_DESTROY:
      g_viewer.link.reset();
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int show) {
  std::wstring pipe = commandLine != nullptr ? commandLine : L"";
  while (!pipe.empty() && (pipe.back() == L' ' || pipe.back() == L'"')) pipe.pop_back();
  while (!pipe.empty() && (pipe.front() == L' ' || pipe.front() == L'"')) pipe.erase(0, 1);
  if (pipe.empty()) {
    wchar_t name[512] = {};
    DWORD length = GetEnvironmentVariableW(L"PANELCAST_EMU_PIPE", name, 512);
    if (length > 0 && length < 512) pipe.assign(name, length);
  }
  g_viewer.pipeName = pipe;

  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = ViewerProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = L"PanelcastPanelViewer";
  if (!RegisterClassW(&windowClass)) return 1;
  RECT size = {0, 0, kPanelsPerRow * viewer::kPanelWidth + 16, kTopBar + viewer::kPanelHeight + 8};
  AdjustWindowRect(&size, WS_OVERLAPPEDWINDOW, FALSE);
  HWND window = CreateWindowW(L"PanelcastPanelViewer", L"Panel Viewer", WS_OVERLAPPEDWINDOW,
                              CW_USEDEFAULT, CW_USEDEFAULT, size.right - size.left,
                              size.bottom - size.top, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, show);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
