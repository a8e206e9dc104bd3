// Secondary dialogs (about box, device information, region picker): modal, from the program's
// resources, owned by the main window. Each posts a quit message when it closes; the opener
// consumes it here, so closing a secondary dialog never ends the main window.
#pragma once

#include <windows.h>

namespace panelcast {

INT_PTR RunSecondaryDialog(HWND owner, int templateId, DLGPROC procedure);

// What each secondary dialog does to close: end itself with `result` and post the quit message.
void EndSecondaryDialog(HWND dialog, WPARAM result);

// The closing rules of a secondary dialog with one OK button (the about box, device information),
// for the messages its own procedure leaves: OK ends it with the command's value, Esc sends a
// close request, and a close request or destruction ends it. Returns what the dialog manager
// expects.
INT_PTR HandleOkDialogClosing(HWND dialog, UINT message, WPARAM wParam);

}  // namespace panelcast
