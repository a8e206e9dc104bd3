#include "app/tool_commands.h"

#include "app/main_window.h"

namespace panelcast {

// The tools arrive one by one; until then these commands only check the selection.
INT_PTR OnStartCommand(HWND window) {
  (void)CheckSelection(window);
  return TRUE;
}

INT_PTR OnStopCommand(HWND window) {
  (void)CheckSelection(window);
  return TRUE;
}

INT_PTR OnSetupCommand(HWND window) {
  (void)CheckSelection(window);
  return TRUE;
}

INT_PTR OnDeviceDoubleClick(HWND /*window*/) { return TRUE; }

}  // namespace panelcast
