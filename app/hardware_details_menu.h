// The panel list's context menu with its one switch, "Show hardware details": while it is on, the
// lines show the panels' serial numbers and a double-click opens the Device Information dialog.
// The switch starts off every run and is not stored.
#pragma once

#include <windows.h>

namespace panelcast {

// WM_CONTEXTMENU over the panel list: shows the menu at the pointer (or at the list's selected
// line when the keyboard asked) and flips the switch when its item is chosen.
INT_PTR OnDeviceListContextMenu(HWND window, LPARAM lParam);

// Sets the switch and refills the list, keeping the highlighted line.
void SetHardwareDetails(HWND window, bool on);

}  // namespace panelcast
