#include "app/region_picker.h"

#include <commctrl.h>

#include "app/control_states.h"
#include "app/secondary_dialog.h"
#include "app/selected_slot.h"
#include "app/shell_state.h"
#include "base/messages.h"
#include "resources/resource_ids.h"

namespace panelcast {
namespace {

constexpr BYTE kOverlayAlpha = 127;

RegionValues FullPrimaryScreen() {
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void StoreRegionInSlot(DeviceSlot& slot, const RegionValues& region) {
  slot.captureRect.left = region.left;
  slot.captureRect.top = region.top;
  slot.captureRect.right = region.right;
  slot.captureRect.bottom = region.bottom;
  slot.screenFlag = ScreenFlagFor(region);
}

INT_PTR OnOverlayInit(HWND overlay) {
  SetWindowLongW(overlay, GWL_EXSTYLE, GetWindowLongW(overlay, GWL_EXSTYLE) | WS_EX_LAYERED);
  SetLayeredWindowAttributes(overlay, 0, kOverlayAlpha, LWA_ALPHA);
  return TRUE;
}

// The outer rectangle, border included, is what the user framed.
INT_PTR OnOverlayConfirm(HWND overlay, WPARAM wParam) {
  RECT rect{};
  GetWindowRect(overlay, &rect);
  Shell().region = {rect.left, rect.top, rect.right, rect.bottom};
  EndSecondaryDialog(overlay, wParam);
  return TRUE;
}

INT_PTR CALLBACK OverlayProc(HWND overlay, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnOverlayInit(overlay);
    case WM_LBUTTONDOWN:
      // Dragging the client area moves the window as if its caption were held.
      SendMessageW(overlay, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_SET_COORDINATES) return OnOverlayConfirm(overlay, wParam);
      if (LOWORD(wParam) == IDCANCEL) {
        Shell().region = FullPrimaryScreen();
        SendMessageW(overlay, WM_CLOSE, 0, 0);
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
    case WM_DESTROY:
      EndSecondaryDialog(overlay, wParam);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void RunRegionSetup(HWND window) {
  ShellState& shell = Shell();
  if (shell.pickerHintShown == 0) {
    ShowMessage(window, msg::kPickerInstructions);
    shell.pickerHintShown = 1;
  }
  RunSecondaryDialog(window, IDD_REGION_PICKER, OverlayProc);
  if (IsDegenerateRegion(shell.region)) shell.region = FullPrimaryScreen();

  DeviceSlot* slot = SelectedSlot();
  if (!slot) return;
  StoreRegionInSlot(*slot, shell.region);
  DisplaySlotSettings(window, shell.selectedIndex.load());
  ShowMessage(window, slot->runningMode.load() != kModeIdle ? msg::kCoordinatesAppliedRunning
                                                            : msg::kCoordinatesAppliedIdle);
}

bool ValidateCoordinates(HWND window) {
  ShellState& shell = Shell();
  DeviceSlot* selected = SelectedSlot();
  if (!shell.startupComplete || !selected) return false;
  DeviceSlot& slot = *selected;
  slot.refreshDelay =
      static_cast<int32_t>(SendDlgItemMessageW(window, IDC_DELAY_TRACKBAR, TBM_GETPOS, 0, 0));

  int32_t* const fields[] = {&shell.region.left, &shell.region.right, &shell.region.top,
                             &shell.region.bottom};
  const int edits[] = {IDC_LEFT, IDC_RIGHT, IDC_TOP, IDC_BOTTOM};
  for (int i = 0; i < 4; ++i) {
    wchar_t text[kCoordinateChars + 1] = {};
    GetDlgItemTextW(window, edits[i], text, kCoordinateChars + 1);
    if (!ParseCoordinate(text, *fields[i])) return false;
  }
  if (IsDegenerateRegion(shell.region)) {
    ShowMessage(window, msg::kCoordinatesInvalid);
    return false;
  }
  StoreRegionInSlot(slot, shell.region);
  slot.showHints = IsDlgButtonChecked(window, IDC_SHOW_HINTS) == BST_CHECKED ? 1 : 0;
  return true;
}

}  // namespace panelcast
