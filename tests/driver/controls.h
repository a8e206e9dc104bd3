// Finding the program's windows and driving their controls the way a user would: everything goes
// through window messages (read with sent messages, act with posted ones, so that a message box
// the program opens in response never blocks the test). No screen coordinates anywhere.
#pragma once

#include <windows.h>

#include <string>

namespace driver {

// A visible or hidden top-level window with exactly this title; pid 0 means any process.
HWND FindTopWindow(const std::wstring& title, DWORD pid = 0);
// Waits until such a window exists and is visible; nullptr after the time-out.
HWND WaitForWindow(const std::wstring& title, DWORD pid, DWORD timeoutMs);
// Waits until `window` has been destroyed.
bool WaitForWindowGone(HWND window, DWORD timeoutMs);

HWND Control(HWND dialog, int id);

// WM_GETTEXT, which also works for edits of another process.
std::wstring WindowText(HWND window);
std::wstring ControlText(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);  // BM_GETCHECK == BST_CHECKED
bool IsEnabled(HWND dialog, int id);
bool IsShown(HWND dialog, int id);

// A click: BM_CLICK posted to the button.
void Click(HWND dialog, int id);
// A click sent instead, for a button that opens no window: it returns once the program has
// handled the click, so what the test does next (typing into edits the click refills) comes after.
void ClickAndSettle(HWND dialog, int id);
// WM_COMMAND posted to `dialog` as the control would send it (its window as lParam).
void PostCommand(HWND dialog, int id, WORD notification = 0);

// List boxes.
int ListCount(HWND dialog, int id);
std::wstring ListLine(HWND dialog, int id, int index);
int ListSelection(HWND dialog, int id);  // LB_ERR when none
// What a user's click on a line does: the selection moves, then the parent hears LBN_SELCHANGE.
void SelectListLine(HWND dialog, int id, int index);
// The same with LBN_SELCHANGE sent, returning once the parent has handled it.
void SelectListLineAndSettle(HWND dialog, int id, int index);

// Trackbars.
int TrackbarPosition(HWND dialog, int id);
// What a user's drag does: the thumb moves, then the parent hears WM_HSCROLL (TB_THUMBPOSITION).
void MoveTrackbar(HWND dialog, int id, int position);

// Edits: WM_SETTEXT sent to the control (the text is marshalled), then EN_CHANGE is the
// control's own business.
void SetControlText(HWND dialog, int id, const std::wstring& text);

// Keys and close requests, all posted.
void RequestClose(HWND window);  // WM_CLOSE
void PressEscape(HWND dialog);   // WM_COMMAND IDCANCEL, what the dialog manager makes of Esc
void PressEnter(HWND dialog);    // WM_COMMAND IDOK
void PostKey(HWND window, UINT virtualKey);  // WM_KEYDOWN then WM_KEYUP

}  // namespace driver
