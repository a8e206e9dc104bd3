// A small GUI program for the driver's own tests, with the kinds of windows the real program
// shows. "boxes": a fixed sequence of message boxes, exit code = answer to the last one.
// "window": a window with a list box, buttons, a check box, an edit and a trackbar, which
// reports what it received in a status line; Esc asks before closing, like the real program.
// "depth": the same window, its status line saying "Bits N" for the depth of the screen the
// program was given.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "tests/driver_selftest/selftest_ids.h"

namespace {

int ShowBoxes() {
  MessageBoxW(nullptr, L"Failed to do the first thing...", L"Error", MB_OK | MB_ICONERROR);
  MessageBoxW(nullptr, L"Careful with the second thing...", L"Warning", MB_OK | MB_ICONWARNING);
  MessageBoxW(nullptr, L"The third thing happened...", L"Information",
              MB_OK | MB_ICONINFORMATION);
  MessageBoxW(nullptr, L"No icon on this one...", L"Notice", MB_OK);
  return MessageBoxW(nullptr, L"Are you sure you want to exit?", L"Exit",
                     MB_YESNO | MB_ICONQUESTION);
}

int clicks = 0;  // main thread only
bool showDepth = false;  // set before the window exists

int ScreenDepth() {
  HDC screen = GetDC(nullptr);
  const int bits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  return bits;
}

void SetStatus(HWND window, const std::wstring& text) {
  SetDlgItemTextW(window, selftest::kStatus, text.c_str());
}

HWND AddControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y,
                int w, int h, int id) {
  return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

void CreateControls(HWND w) {
  HWND list = AddControl(w, L"ListBox", L"", LBS_NOTIFY | WS_BORDER | WS_VSCROLL, 10, 10, 150,
                         80, selftest::kList);
  for (const wchar_t* line : {L"First line", L"Second line", L"Third line"}) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
  }
  AddControl(w, L"Button", L"Count", BS_PUSHBUTTON, 170, 10, 80, 24, selftest::kCount);
  AddControl(w, L"Button", L"Ask", BS_PUSHBUTTON, 170, 40, 80, 24, selftest::kAsk);
  AddControl(w, L"Button", L"Hints", BS_AUTOCHECKBOX, 170, 70, 80, 20, selftest::kCheck);
  HWND off = AddControl(w, L"Button", L"Disabled", BS_PUSHBUTTON, 260, 10, 80, 24,
                        selftest::kDisabled);
  EnableWindow(off, FALSE);
  AddControl(w, L"Edit", L"", WS_BORDER | ES_AUTOHSCROLL, 260, 40, 80, 20, selftest::kEdit);
  HWND bar = AddControl(w, TRACKBAR_CLASSW, L"", TBS_AUTOTICKS, 10, 100, 200, 30,
                        selftest::kTrackbar);
  SendMessageW(bar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 50));
  SendMessageW(bar, TBM_SETPOS, TRUE, 2);
  const std::wstring status =
      showDepth ? L"Bits " + std::to_wstring(ScreenDepth()) : std::wstring(L"Ready");
  AddControl(w, L"Static", status.c_str(), SS_LEFT, 10, 140, 330, 20, selftest::kStatus);
}

void OnCommand(HWND w, int id, int code) {
  if (id == selftest::kList && code == LBN_SELCHANGE) {
    const auto sel = SendDlgItemMessageW(w, selftest::kList, LB_GETCURSEL, 0, 0);
    SetStatus(w, L"Selected " + std::to_wstring(sel));
  } else if (id == selftest::kCount) {
    SetStatus(w, L"Clicks " + std::to_wstring(++clicks));
  } else if (id == selftest::kAsk) {
    const int answer = MessageBoxW(w, L"Do it?", L"Question", MB_YESNO | MB_ICONQUESTION);
    SetStatus(w, answer == IDYES ? L"Answered yes" : L"Answered no");
  } else if (id == IDCANCEL) {
    if (MessageBoxW(w, L"Are you sure you want to exit?", L"Exit", MB_YESNO | MB_ICONQUESTION) ==
        IDYES) {
      DestroyWindow(w);
    }
  } else if (id == IDOK) {
    SetStatus(w, L"Enter");
  }
}

LRESULT CALLBACK WindowProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls(w);
      return 0;
    case WM_COMMAND:
      OnCommand(w, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_HSCROLL:
      SetStatus(w, L"Trackbar " + std::to_wstring(SendDlgItemMessageW(w, selftest::kTrackbar,
                                                                         TBM_GETPOS, 0, 0)));
      return 0;
    case WM_KEYDOWN:
      SetStatus(w, L"Key " + std::to_wstring(wParam));
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(w, message, wParam, lParam);
}

int RunWindow(HINSTANCE instance) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = CreateSolidBrush(selftest::kBackground);
  wc.lpszClassName = L"PanelcastDriverSelftest";
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(0, wc.lpszClassName, selftest::kWindowTitle, WS_OVERLAPPEDWINDOW,
                           100, 100, 400, 260, nullptr, nullptr, instance, nullptr);
  ShowWindow(w, SW_SHOW);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  const std::wstring mode = commandLine;
  if (mode == L"boxes") return ShowBoxes();
  if (mode == L"window") return RunWindow(instance);
  if (mode == L"depth") {
    showDepth = true;
    return RunWindow(instance);
  }
  return 2;
}
