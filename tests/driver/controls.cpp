#include "tests/driver/controls.h"

#include <commctrl.h>

#include <vector>

#include "tests/driver/wait.h"

namespace driver {
namespace {

// Reads never hang the test on a program that stopped answering.
constexpr UINT kSendTimeoutMs = 5000;

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &result)) {
    return -1;
  }
  return static_cast<LRESULT>(result);
}

}  // namespace

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
  (void)WaitUntil(
      [&] {
        found = FindTopWindow(title, pid);
        return found && IsWindowVisible(found);
      },
      timeoutMs);
  return found && IsWindowVisible(found) ? found : nullptr;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs) {
  return WaitUntil([window] { return !IsWindow(window); }, timeoutMs);
}

HWND Control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

std::wstring WindowText(HWND window) {
  if (!window) return {};
  const LRESULT length = SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  const LRESULT got = SendWithTimeout(window, WM_GETTEXT, buffer.size(),
                                      reinterpret_cast<LPARAM>(buffer.data()));
  return got > 0 ? std::wstring(buffer.data(), static_cast<std::size_t>(got)) : std::wstring();
}

std::wstring ControlText(HWND dialog, int id) { return WindowText(Control(dialog, id)); }

bool IsChecked(HWND dialog, int id) {
  return SendWithTimeout(Control(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsEnabled(HWND dialog, int id) {
  HWND c = Control(dialog, id);
  return c && IsWindowEnabled(c);
}

bool IsShown(HWND dialog, int id) {
  HWND c = Control(dialog, id);
  return c && IsWindowVisible(c);
}

void Click(HWND dialog, int id) { PostMessageW(Control(dialog, id), BM_CLICK, 0, 0); }

void ClickAndSettle(HWND dialog, int id) { (void)SendWithTimeout(Control(dialog, id), BM_CLICK, 0, 0); }

void PostCommand(HWND dialog, int id, WORD notification) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, notification),
               reinterpret_cast<LPARAM>(Control(dialog, id)));
}

int ListCount(HWND dialog, int id) {
  return static_cast<int>(SendWithTimeout(Control(dialog, id), LB_GETCOUNT, 0, 0));
}

std::wstring ListLine(HWND dialog, int id, int index) {
  HWND list = Control(dialog, id);
  const LRESULT length = SendWithTimeout(list, LB_GETTEXTLEN, index, 0);
  if (length < 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  const LRESULT got =
      SendWithTimeout(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
  return got >= 0 ? std::wstring(buffer.data(), static_cast<std::size_t>(got)) : std::wstring();
}

int ListSelection(HWND dialog, int id) {
  return static_cast<int>(SendWithTimeout(Control(dialog, id), LB_GETCURSEL, 0, 0));
}

void SelectListLine(HWND dialog, int id, int index) {
  (void)SendWithTimeout(Control(dialog, id), LB_SETCURSEL, index, 0);
  PostCommand(dialog, id, LBN_SELCHANGE);
}

void SelectListLineAndSettle(HWND dialog, int id, int index) {
  (void)SendWithTimeout(Control(dialog, id), LB_SETCURSEL, index, 0);
  (void)SendWithTimeout(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(Control(dialog, id)));
}

int TrackbarPosition(HWND dialog, int id) {
  return static_cast<int>(SendWithTimeout(Control(dialog, id), TBM_GETPOS, 0, 0));
}

void MoveTrackbar(HWND dialog, int id, int position) {
  HWND bar = Control(dialog, id);
  (void)SendWithTimeout(bar, TBM_SETPOS, TRUE, position);
  PostMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
               reinterpret_cast<LPARAM>(bar));
  PostMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(bar));
}

void SetControlText(HWND dialog, int id, const std::wstring& text) {
  (void)SendWithTimeout(Control(dialog, id), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(text.c_str()));
}

void RequestClose(HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }

void PressEscape(HWND dialog) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void PressEnter(HWND dialog) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

void PostKey(HWND window, UINT virtualKey) {
  const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  PostMessageW(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  PostMessageW(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

}  // namespace driver

