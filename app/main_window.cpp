#include "app/main_window.h"

#include <commctrl.h>

#include <cwchar>

#include "app/about_box.h"
#include "app/control_states.h"
#include "app/device_changes.h"
#include "app/device_list_box.h"
#include "app/hardware_details_menu.h"
#include "app/selected_slot.h"
#include "app/shell_state.h"
#include "app/startup.h"
#include "app/stop_messages.h"
#include "app/tool_commands.h"
#include "base/messages.h"
#include "devices/device_change.h"
#include "devices/device_list.h"
#include "feeds/worker_supervision.h"
#include "panel_library/library_session.h"
#include "resources/resource_ids.h"

namespace panelcast {
namespace {

INT_PTR OnCancelCommand(HWND window) {
  if (ShowMessage(window, msg::kConfirmExit) != IDYES) return FALSE;
  SendMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

INT_PTR OnExitCommand(HWND window, WPARAM wParam) {
  StopAllWorkersTellingUser(window);
  DeinitializeLibraryOnce();
  EndMainWindow(window, wParam);
  return TRUE;
}

INT_PTR OnDeviceListNotification(HWND window, WORD code) {
  switch (code) {
    case LBN_SELCHANGE: {
      if (!CheckSelection(window)) return TRUE;
      RefreshControls(window);
      const DeviceSlot* slot = SelectedSlot();
      const bool running = slot && slot->runningMode.load() != kModeIdle;
      SetFocus(GetDlgItem(window, running ? IDC_STOP : IDC_START));
      return TRUE;
    }
    case LBN_KILLFOCUS:
      SendDlgItemMessageW(window, IDC_DEVICE_LIST, LB_SETCURSEL, Shell().selectedIndex.load(), 0);
      return TRUE;
    case LBN_DBLCLK:
      return OnDeviceDoubleClick(window);
    default:
      DisableControlsWithoutDevices(window);
      return FALSE;
  }
}

INT_PTR OnRefreshCommand(HWND window) {
  RebuildDeviceList();  // clears the list box first
  SendDlgItemMessageW(window, IDC_DEVICE_LIST, LB_SETCURSEL, 0, 0);
  Shell().selectedIndex = 0;
  RefreshControls(window);
  return TRUE;
}

INT_PTR OnModeCommand(HWND window, uint16_t mode) {
  Shell().currentMode = mode;
  RefreshControls(window);
  return TRUE;
}

INT_PTR OnFormatCommand(HWND window, int32_t format) {
  if (DeviceSlot* slot = SelectedSlot()) slot->imageFormat = format;
  SendDlgItemMessageW(window, IDC_FORMAT_JPG, BM_SETCHECK, format == 0 ? BST_CHECKED : BST_UNCHECKED,
                      0);
  SendDlgItemMessageW(window, IDC_FORMAT_BMP, BM_SETCHECK, format == 1 ? BST_CHECKED : BST_UNCHECKED,
                      0);
  RefreshControls(window);
  return TRUE;
}

INT_PTR OnCommand(HWND window, WPARAM wParam, LPARAM /*lParam*/) {
  switch (LOWORD(wParam)) {
    case IDCANCEL:
      return OnCancelCommand(window);
    case IDC_DEVICE_LIST:
      return OnDeviceListNotification(window, HIWORD(wParam));
    case IDC_REFRESH:
      return OnRefreshCommand(window);
    case IDC_ABOUT:
      ShowAboutBox(window);
      return TRUE;
    case IDC_EXIT:
      return OnExitCommand(window, wParam);
    case IDC_START:
      return OnStartCommand(window);
    case IDC_SETUP:
      return OnSetupCommand(window);
    case IDC_STOP:
      return OnStopCommand(window);
    case IDC_MODE_CUSTOMIZE:
      return OnModeCommand(window, kModeCustomize);
    case IDC_MODE_GPS:
      return OnModeCommand(window, kModeGpsGauge);
    case IDC_MODE_LIVE_VIEW:
      return OnModeCommand(window, kModeFsxLiveView);
    case IDC_MODE_STATIC:
      return OnModeCommand(window, kModeStaticImages);
    case IDC_MODE_LIVE_MONITOR:
      return OnModeCommand(window, kModeLiveMonitor);
    case IDC_FORMAT_JPG:
      return OnFormatCommand(window, 0);
    case IDC_FORMAT_BMP:
      return OnFormatCommand(window, 1);
    default:
      DisableControlsWithoutDevices(window);
      return FALSE;
  }
}

INT_PTR OnTrackbarScroll(HWND window) {
  ShellState& shell = Shell();
  shell.refreshStep =
      static_cast<int32_t>(SendDlgItemMessageW(window, IDC_DELAY_TRACKBAR, TBM_GETPOS, 0, 0));
  ShowDelayText(window, shell.refreshStep);
  const DeviceSlot* slot = SelectedSlot();
  const bool idle = !slot || slot->runningMode.load() == kModeIdle;
  if (shell.refreshStep == 0 && shell.perfWarningShown == 0 && idle) {
    shell.perfWarningShown = 1;
    ShowMessage(window, msg::kPerformanceWarning);
  }
  return TRUE;
}

// The watcher has returned a slot whose worker ended by itself to idle.
INT_PTR OnWorkerEnded(HWND window, WPARAM slotIndex) {
  ReleaseEndedWorkers();
  const LRESULT selection = SendDlgItemMessageW(window, IDC_DEVICE_LIST, LB_GETCURSEL, 0, 0);
  Shell().selectedIndex = static_cast<uint32_t>(selection);
  if (static_cast<uint32_t>(selection) == slotIndex) {
    EnableWindow(GetDlgItem(window, IDC_START), TRUE);
    EnableWindow(GetDlgItem(window, IDC_STOP), FALSE);
  }
  return TRUE;
}

}  // namespace

bool CheckSelection(HWND window) {
  const LRESULT selection = SendDlgItemMessageW(window, IDC_DEVICE_LIST, LB_GETCURSEL, 0, 0);
  Shell().selectedIndex = static_cast<uint32_t>(selection);
  return selection != LB_ERR && static_cast<uint32_t>(selection) < Devices().count;
}

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == DeviceChangeMessage()) {
    HandleDeviceChangeMessage(wParam, lParam);
    return TRUE;
  }
  if (message == WorkerEndedMessage()) return OnWorkerEnded(window, wParam);
  switch (message) {
    case WM_INITDIALOG:
      return RunStartup(window, wParam);
    case WM_CLOSE:
    case WM_DESTROY:
      RunShutdown(window, wParam);
      return TRUE;
    case WM_QUERYENDSESSION:
      // Yes, the session may end; nothing changes until it does.
      SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_ENDSESSION:
      RunSessionEnd(window, wParam);
      return TRUE;
    case WM_COMMAND:
      return OnCommand(window, wParam, lParam);
    case WM_HSCROLL:
      return OnTrackbarScroll(window);
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) == GetDlgItem(window, IDC_DEVICE_LIST)) {
        return OnDeviceListContextMenu(window, lParam);
      }
      [[fallthrough]];
    default:
      DisableControlsWithoutDevices(window);
      return FALSE;
  }
}

}  // namespace panelcast
