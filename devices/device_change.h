// Carrying the library's arrival and removal notifications over to the main window's thread, so
// that the device tables and the list box are only ever changed there.
#pragma once

#include <windows.h>

#include "panel_library/direct_output_abi.h"

namespace panelcast {

// The message posted to the main window: wParam the device handle, lParam 1 for an arrival and
// 0 for a removal.
UINT DeviceChangeMessage();

// Where notifications go; null drops them (before the window exists and after it has ended).
void SetDeviceChangeTarget(HWND window);

// The device-change callback registered with the library; runs on the library's thread and only
// posts, so the library never waits for the main thread.
void __stdcall OnDeviceChange(directoutput::DeviceHandle device, bool added, void* context);

}  // namespace panelcast
