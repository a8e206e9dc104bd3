// The main window's list of panels: one line per device in the tables, with its serial number
// when hardware details are on. Main thread.
#pragma once

#include <windows.h>

namespace panelcast {

// Deletes every line of `list`.
void ClearListBox(HWND list);

// Deletes every line of the device list box and adds one per device.
void RefillDeviceListBox();

// Identification, registry order and list box refill.
void RebuildDeviceList();

}  // namespace panelcast
