// The main window: dialog template 129, run modally from the entry point.
#pragma once

#include <windows.h>

namespace panelcast {

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Reads the list selection into selectedIndex; true when it names a connected panel.
bool CheckSelection(HWND window);

}  // namespace panelcast
