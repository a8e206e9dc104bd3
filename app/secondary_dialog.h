// Secondary dialogs (about box, device information, region picker): modal, from the program's
// resources, owned by the main window. Each posts a quit message when it closes; the opener
// consumes it here, so closing a secondary dialog never ends the main window.
#pragma once

#include <windows.h>

namespace panelcast {

INT_PTR RunSecondaryDialog(HWND owner, int templateId, DLGPROC procedure);

// What each secondary dialog does to close: end itself with `result` and post the quit message.
void EndSecondaryDialog(HWND dialog, WPARAM result);

}  // namespace panelcast
