// Reading and answering the program's message boxes, so tests can assert the exact sequence of
// boxes a user sees: title, text, icon and buttons.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace driver {

enum class BoxIcon { None, Error, Warning, Information, Question, Unknown };
const char* BoxIconName(BoxIcon icon);

struct BoxButton {
  int id = 0;  // IDOK, IDYES, ...
  std::wstring text;
};

struct MessageBoxInfo {
  HWND window = nullptr;
  std::wstring title;
  std::wstring text;
  BoxIcon icon = BoxIcon::None;
  std::vector<BoxButton> buttons;

  bool HasButton(int id) const;
};

// Visible message boxes of a process (pid 0: any), newest-looking first (enabled boxes before
// boxes disabled by a box they own).
std::vector<HWND> MessageBoxWindows(DWORD pid = 0);

// Reads a box. The icon is recognised by its pixels on the screen, compared with the system's
// error, warning, information and question icons drawn here: icon handles are not comparable
// between processes under Wine (each process loads its own copy of a system icon).
MessageBoxInfo ReadMessageBox(HWND box);

// Answers with the button `buttonId` (BM_CLICK posted to it), or with WM_COMMAND buttonId when
// the box has no such button (IDCANCEL for Esc, for instance).
void AnswerMessageBox(HWND box, int buttonId);

// The next box of the process within the time-out, read once its icon has been painted.
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD pid, DWORD timeoutMs);

// Waits for the next box, reads it, answers it and waits until it has gone, so that the next
// call sees the box after it. Nothing when no box came.
std::optional<MessageBoxInfo> AnswerNextMessageBox(DWORD pid, int buttonId, DWORD timeoutMs);

}  // namespace driver
