// Controls, waits and the main window's shared steps.
#include "tests/driver/controls.h"

#include <commctrl.h>

#include <vector>

#include "resources/resource_ids.h"
#include "tests/driver/main_window.h"
#include "tests/driver/wait.h"

namespace driver {
namespace {

// Reads never hang the test on a program that stopped answering: -1 when it does not answer.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result)) {
    return -1;
  }
  return static_cast<LRESULT>(result);
}

// A text of `length` units read by `message` (WM_GETTEXT, LB_GETTEXT).
std::wstring ReadText(HWND window, LRESULT length, UINT message, WPARAM wParam) {
  if (length < 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  if (message == WM_GETTEXT) wParam = buffer.size();
  const LRESULT got = Send(window, message, wParam, reinterpret_cast<LPARAM>(buffer.data()));
  return got > 0 ? std::wstring(buffer.data(), static_cast<std::size_t>(got)) : std::wstring();
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD intervalMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return condition();
    Sleep(intervalMs);
  }
}

HWND FindTopWindow(const std::wstring& title, DWORD pid) {
  for (HWND w = FindWindowExW(nullptr, nullptr, nullptr, title.c_str()); w;
       w = FindWindowExW(nullptr, w, nullptr, title.c_str())) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (pid == 0 || owner == pid) return w;
  }
  return nullptr;
}

HWND WaitForWindow(const std::wstring& title, DWORD pid, DWORD timeoutMs) {
  HWND found = nullptr;
  const auto shown = [&] {
    found = FindTopWindow(title, pid);
    return found && IsWindowVisible(found);
  };
  return WaitUntil(shown, timeoutMs) ? found : nullptr;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs) {
  return WaitUntil([window] { return !IsWindow(window); }, timeoutMs);
}

HWND Control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

std::wstring WindowText(HWND window) {
  if (!window) return {};
  const LRESULT length = Send(window, WM_GETTEXTLENGTH);
  return length > 0 ? ReadText(window, length, WM_GETTEXT, 0) : std::wstring();
}

std::wstring ControlText(HWND dialog, int id) { return WindowText(Control(dialog, id)); }
bool IsChecked(HWND dialog, int id) {
  return Send(Control(dialog, id), BM_GETCHECK) == BST_CHECKED;
}
bool IsEnabled(HWND dialog, int id) { return IsWindowEnabled(Control(dialog, id)) != FALSE; }
bool IsShown(HWND dialog, int id) { return IsWindowVisible(Control(dialog, id)) != FALSE; }
void Click(HWND dialog, int id) { PostMessageW(Control(dialog, id), BM_CLICK, 0, 0); }
void ClickAndSettle(HWND dialog, int id) { (void)Send(Control(dialog, id), BM_CLICK); }

void PostCommand(HWND dialog, int id, WORD notification) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, notification),
               reinterpret_cast<LPARAM>(Control(dialog, id)));
}

int ListCount(HWND dialog, int id) {
  return static_cast<int>(Send(Control(dialog, id), LB_GETCOUNT));
}

std::wstring ListLine(HWND dialog, int id, int index) {
  HWND list = Control(dialog, id);
  return ReadText(list, Send(list, LB_GETTEXTLEN, index), LB_GETTEXT, index);
}

int ListSelection(HWND dialog, int id) {
  return static_cast<int>(Send(Control(dialog, id), LB_GETCURSEL));
}

void SelectListLine(HWND dialog, int id, int index) {
  (void)Send(Control(dialog, id), LB_SETCURSEL, index);
  PostCommand(dialog, id, LBN_SELCHANGE);
}

void SelectListLineAndSettle(HWND dialog, int id, int index) {
  (void)Send(Control(dialog, id), LB_SETCURSEL, index);
  (void)Send(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE),
             reinterpret_cast<LPARAM>(Control(dialog, id)));
}

int TrackbarPosition(HWND dialog, int id) {
  return static_cast<int>(Send(Control(dialog, id), TBM_GETPOS));
}

void MoveTrackbar(HWND dialog, int id, int position) {
  HWND bar = Control(dialog, id);
  (void)Send(bar, TBM_SETPOS, TRUE, position);
  PostMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
               reinterpret_cast<LPARAM>(bar));
  PostMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(bar));
}

void SetControlText(HWND dialog, int id, const std::wstring& text) {
  (void)Send(Control(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void RequestClose(HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }
void PressEscape(HWND dialog) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0); }
void PressEnter(HWND dialog) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0); }

void PostKey(HWND window, UINT virtualKey) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(window, WM_KEYDOWN, virtualKey, 1 | scan);
  PostMessageW(window, WM_KEYUP, virtualKey, 1 | scan | (3u << 30));
}

void TypeRect(HWND main, const RECT& rect) {
  SetControlText(main, IDC_LEFT, std::to_wstring(rect.left));
  SetControlText(main, IDC_RIGHT, std::to_wstring(rect.right));
  SetControlText(main, IDC_TOP, std::to_wstring(rect.top));
  SetControlText(main, IDC_BOTTOM, std::to_wstring(rect.bottom));
}

bool StartToolOn(HWND main, int line, int modeButton, const RECT& rect, int delayStep) {
  constexpr DWORD kTimeoutMs = 15000;
  // Both refill the coordinate edits with the slot's own rectangle: they must be over before the
  // new one is typed.
  SelectListLineAndSettle(main, IDC_DEVICE_LIST, line);
  if (ListSelection(main, IDC_DEVICE_LIST) != line) return false;
  ClickAndSettle(main, modeButton);
  if (!IsChecked(main, modeButton)) return false;
  TypeRect(main, rect);
  if (delayStep >= 0) {
    MoveTrackbar(main, IDC_DELAY_TRACKBAR, delayStep);
    const std::wstring shown = std::to_wstring(delayStep * 100);
    if (!WaitUntil([&] { return ControlText(main, IDC_DELAY_TEXT) == shown; }, kTimeoutMs)) {
      return false;
    }
  }
  Click(main, IDC_START);
  return WaitUntil([&] { return IsEnabled(main, IDC_STOP) && !IsEnabled(main, IDC_START); },
                   kTimeoutMs);
}

}  // namespace driver
