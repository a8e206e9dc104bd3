#include "app/hardware_details_menu.h"

#include <windowsx.h>

#include "app/device_list_box.h"
#include "app/shell_state.h"
#include "devices/device_list.h"
#include "resources/resource_ids.h"

namespace panelcast {
namespace {

constexpr UINT kShowHardwareDetails = 1;  // the item's command; 0 means nothing was chosen

// Where the menu opens: the pointer for a mouse click, the selected line (or the list's corner)
// for the keyboard's context-menu key, which reports (-1, -1).
POINT MenuPosition(HWND list, LPARAM lParam) {
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (at.x != -1 || at.y != -1) return at;
  RECT line{};
  const LRESULT selection = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (selection == LB_ERR ||
      SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(selection),
                   reinterpret_cast<LPARAM>(&line)) == LB_ERR) {
    line = RECT{};
  }
  at = POINT{line.left, line.bottom};
  ClientToScreen(list, &at);
  return at;
}

}  // namespace

INT_PTR OnDeviceListContextMenu(HWND window, LPARAM lParam) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return TRUE;
  const UINT state = Shell().hardwareDetails == 1 ? MF_CHECKED : MF_UNCHECKED;
  AppendMenuW(menu, MF_STRING | state, kShowHardwareDetails, L"Show hardware details");
  const POINT at = MenuPosition(GetDlgItem(window, IDC_DEVICE_LIST), lParam);
  // A menu whose owner is not the foreground window closes at the first key or click elsewhere.
  SetForegroundWindow(window);
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window,
                     nullptr));
  DestroyMenu(menu);
  if (chosen == kShowHardwareDetails) SetHardwareDetails(window, Shell().hardwareDetails != 1);
  return TRUE;
}

void SetHardwareDetails(HWND window, bool on) {
  // The refill leaves no line highlighted; the highlighted line stays the one it was.
  const LRESULT highlighted = SendDlgItemMessageW(window, IDC_DEVICE_LIST, LB_GETCURSEL, 0, 0);
  Shell().hardwareDetails = on ? 1 : 0;
  RefillDeviceListBox();
  if (highlighted != LB_ERR) {
    SendDlgItemMessageW(window, IDC_DEVICE_LIST, LB_SETCURSEL, static_cast<WPARAM>(highlighted), 0);
  }
}

}  // namespace panelcast
