// What the window does when the library reports a panel's arrival or removal: the tables change
// (devices/), the workers stop for a removal (feeds/), and the list, the buttons and the messages
// follow here. Main thread.
#pragma once

#include <windows.h>

namespace panelcast {

// The main window's handling of DeviceChangeMessage() (devices/device_change.h).
void HandleDeviceChangeMessage(WPARAM wParam, LPARAM lParam);

}  // namespace panelcast
