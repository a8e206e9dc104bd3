// The program's message boxes read and answered, so tests can assert the boxes a user sees.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace driver {

enum class BoxIcon { None, Error, Warning, Information, Question, Unknown };
const char* BoxIconName(BoxIcon icon);

struct MessageBoxInfo {
  HWND window = nullptr;
  std::wstring title, text;
  BoxIcon icon = BoxIcon::None;  // recognised by its pixels on the screen
};

// Visible message boxes of a process (pid 0: any), enabled ones (the newest) first.
std::vector<HWND> MessageBoxWindows(DWORD pid = 0);
MessageBoxInfo ReadMessageBox(HWND box);
// WM_COMMAND `buttonId` posted as the button sends it (IDCANCEL too where there is none: Esc).
inline void AnswerMessageBox(HWND box, int buttonId) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}
// The next box of the process within the time-out, read once its icon has been painted.
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD pid, DWORD timeoutMs);
// The next box read, answered and gone (the next call sees the box after it).
std::optional<MessageBoxInfo> AnswerNextMessageBox(DWORD pid, int buttonId, DWORD timeoutMs);

}  // namespace driver
