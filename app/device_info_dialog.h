// The Device Information dialog (template 225): the report of the selected panel, ready to be
// selected and copied.
#pragma once

#include <windows.h>

namespace panelcast {

// Opens the dialog for the panel of selectedIndex as a secondary dialog.
void ShowDeviceInformation(HWND owner);

}  // namespace panelcast
