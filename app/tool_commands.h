// START, STOP, Setup and the double-click on a panel line: the commands that act on the selected
// panel's tool.
#pragma once

#include <windows.h>

namespace panelcast {

INT_PTR OnStartCommand(HWND window);
INT_PTR OnStopCommand(HWND window);
INT_PTR OnSetupCommand(HWND window);
INT_PTR OnDeviceDoubleClick(HWND window);

}  // namespace panelcast
