// FSX.EXE, the simulator stand-in: a window that draws a GPS and answers the client-library
// stand-in's calls (sim_link.h). Each connection maps client event ids to GPS event names; a
// transmitted event changes the GPS, visibly. Every call and every applied event is one line of
// the log named by PANELCAST_SIM_LOG.
#include <windows.h>

#include <cstdio>
#include <string>

#include "emulator/simulator/call_text.h"
#include "emulator/simulator/connections.h"
#include "emulator/simulator/gps_drawing.h"
#include "emulator/simulator/gps_model.h"
#include "emulator/simulator/gps_screen_layout.h"
#include "emulator/simulator/log_file.h"
#include "emulator/simulator/sim_link.h"

namespace simstandin {
namespace {

constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005);
constexpr HRESULT kBadHandle = static_cast<HRESULT>(0x80070006);
constexpr HRESULT kBadCall = static_cast<HRESULT>(0x80070057);
constexpr UINT_PTR kMapTimer = 1;
constexpr UINT kMapTimerMs = 250;

// The window's state; the window's thread is the only one.
struct Simulator {
  GpsModel model;
  Connections connections;
  std::wstring logPath;
  int phase = 0;
};
Simulator simulator;

std::string Hex(HRESULT value) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

HRESULT Answer(const std::string& line, HRESULT result) {
  AppendLogLine(simulator.logPath, line + "\t" + Hex(result));
  return result;
}

HRESULT Transmit(HWND window, const CallText& call) {
  const auto connection = call.Number("connection"), id = call.Number("id");
  if (!connection || !id) return kBadCall;
  const auto name = simulator.connections.Mapped(*connection, *id);
  if (!name) return kBadHandle;
  if (ApplyGpsEvent(simulator.model, *name)) {
    AppendLogLine(simulator.logPath, "event " + *name);
    InvalidateRect(window, nullptr, FALSE);
  }
  return S_OK;
}

// One call of the library. Open answers the new connection's number.
LRESULT OnCall(HWND window, const COPYDATASTRUCT& data) {
  const std::string line(static_cast<const char*>(data.lpData), data.cbData);
  const auto call = ParseCallText(line);
  if (!call) return Answer(line, kBadCall);
  if (call->name == "Open") {
    const uint32_t connection = simulator.connections.Open();
    AppendLogLine(simulator.logPath, line + "\tconnection=" + std::to_string(connection));
    return static_cast<LRESULT>(connection);
  }
  const auto connection = call->Number("connection");
  if (!connection) return Answer(line, kBadCall);
  if (call->name == "MapClientEventToSimEvent") {
    const auto id = call->Number("id");
    const auto name = call->args.find("name");
    if (!id || name == call->args.end()) return Answer(line, kBadCall);
    return Answer(line, simulator.connections.Map(*connection, *id, name->second) ? S_OK
                                                                                   : kBadHandle);
  }
  if (call->name == "TransmitClientEvent") return Answer(line, Transmit(window, *call));
  if (call->name == "Close") {
    return Answer(line, simulator.connections.Close(*connection) ? S_OK : kBadHandle);
  }
  return Answer(line, kFail);
}

void OnPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  // Drawn off screen first, so the moving map never flickers half drawn into a capture.
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, kScreenWidth, kScreenHeight);
  HGDIOBJ old = SelectObject(memory, bitmap);
  DrawGpsScreen(memory, simulator.model, simulator.phase);
  BitBlt(dc, 0, 0, kScreenWidth, kScreenHeight, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  EndPaint(window, &paint);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COPYDATA: {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (!data || data->dwData != kCallData) return 0;
      return OnCall(window, *data);
    }
    case WM_TIMER:
      ++simulator.phase;
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_PAINT:
      OnPaint(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_DESTROY:
      AppendLogLine(simulator.logPath, "exit");
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace
}  // namespace simstandin

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace simstandin;
  simulator.logPath = LogPathFrom(kSimulatorLogVariable);
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassW(&windowClass)) return 1;
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT outer = {0, 0, kScreenWidth, kScreenHeight};
  AdjustWindowRectEx(&outer, style, FALSE, WS_EX_TOPMOST);
  // Topmost: whatever the program opens, the GPS stays where a capture rectangle was put over it.
  HWND window = CreateWindowExW(WS_EX_TOPMOST, kWindowClass, kWindowTitle, style, kWindowX, kWindowY,
                                outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  SetTimer(window, kMapTimer, kMapTimerMs, nullptr);
  AppendLogLine(simulator.logPath, "start");
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
