#include "app/device_changes.h"

#include "app/control_states.h"
#include "app/device_list_box.h"
#include "app/shell_state.h"
#include "base/messages.h"
#include "devices/device_list.h"
#include "feeds/worker_supervision.h"
#include "resources/resource_ids.h"

namespace panelcast {
namespace {

void HighlightFirstLine() {
  SendDlgItemMessageW(Shell().mainWindow, IDC_DEVICE_LIST, LB_SETCURSEL, 0, 0);
}

void HandleDeviceArrival(directoutput::DeviceHandle device) {
  if (!Devices().slots) return;
  switch (AddDevice(device)) {
    case DeviceAddition::kTypeFailed:
      // A panel that has left again before its arrival came to be handled cannot be asked either;
      // its removal follows, and nobody needs to hear of it.
      if (StillConnected(device)) ShowMessage(Shell().mainWindow, msg::kDeviceTypeFailed);
      return;
    case DeviceAddition::kNotPanel:
      ShowMessage(Shell().mainWindow, msg::kNotFip);
      return;
    case DeviceAddition::kAdded:
    case DeviceAddition::kFull:  // a panel without a slot: the list is rebuilt all the same
      break;
  }
  RebuildDeviceList();
  if (Shell().startupComplete) {
    RefreshPushButtons(Shell().mainWindow);
    DisplaySlotSettings(Shell().mainWindow, Shell().selectedIndex.load());
  }
  HighlightFirstLine();
}

void HandleDeviceRemoval(directoutput::DeviceHandle device) {
  if (!Devices().slots) return;
  // The watcher is held for the whole removal, so it never sees a slot half moved.
  WatcherHold hold;
  StopWorkersForRemoval();
  if (!RemoveDevice(device)) return;
  RebuildDeviceList();
  if (Shell().startupComplete) RefreshControls(Shell().mainWindow);
  if (Devices().count != 0) HighlightFirstLine();
}

}  // namespace

void HandleDeviceChangeMessage(WPARAM wParam, LPARAM lParam) {
  auto device = reinterpret_cast<directoutput::DeviceHandle>(wParam);
  if (lParam != 0) {
    HandleDeviceArrival(device);
  } else {
    HandleDeviceRemoval(device);
  }
}

}  // namespace panelcast
