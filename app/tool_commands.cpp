#include "app/tool_commands.h"

#include "app/control_states.h"
#include "app/device_info_dialog.h"
#include "app/folder_selection.h"
#include "app/main_window.h"
#include "app/region_picker.h"
#include "app/selected_slot.h"
#include "app/shell_state.h"
#include "app/tool_launch.h"
#include "base/messages.h"
#include "devices/device_list.h"
#include "feeds/worker_supervision.h"
#include "images/static_images.h"
#include "monitor/live_monitor.h"
#include "resources/resource_ids.h"
#include "sim/fsx_live_view.h"
#include "sim/gps_gauge.h"

namespace panelcast {
namespace {

// The worker of each tool that has one; null for a tool that starts none (yet).
WorkerRoutine RoutineForMode(uint16_t mode) {
  switch (mode) {
    case kModeGpsGauge:
      return GpsGaugeFeeder;
    case kModeFsxLiveView:
      return FsxLiveViewFeeder;
    case kModeLiveMonitor:
      return LiveMonitorFeeder;
    default:
      return nullptr;
  }
}

void ShowRunningButtons(HWND window, bool running) {
  EnableWindow(GetDlgItem(window, IDC_START), !running);
  EnableWindow(GetDlgItem(window, IDC_STOP), running);
}

// The worker of `mode` on the selected slot, with the buttons to match.
INT_PTR StartSelectedWorker(HWND window, uint16_t mode, WorkerRoutine routine) {
  if (!StartWorker(static_cast<int>(Shell().selectedIndex.load()),
                   static_cast<FeedMode>(mode), routine)) {
    ShowMessage(window, msg::kThreadStartFailed);
    return TRUE;
  }
  ShowRunningButtons(window, true);
  return TRUE;
}

// START for the live tools: the typed coordinates, then the worker.
INT_PTR StartLiveTool(HWND window, uint16_t mode) {
  if (!CheckSelection(window) || SelectedSlot()->workerThread.load()) return TRUE;
  const WorkerRoutine routine = RoutineForMode(mode);
  if (!routine || !ValidateCoordinates(window)) return TRUE;
  return StartSelectedWorker(window, mode, routine);
}

// START for the static images: a folder with images (or one chosen now), the hint box, the worker.
INT_PTR StartStaticImages(HWND window) {
  if (!CheckSelection(window) || SelectedSlot()->workerThread.load()) return TRUE;
  if (!EnsureImageFolder(window)) return TRUE;
  // The selection may have changed while a folder browser was open.
  if (DeviceSlot* slot = SelectedSlot()) {
    slot->showHints = IsDlgButtonChecked(window, IDC_SHOW_HINTS) == BST_CHECKED ? 1 : 0;
  }
  return StartSelectedWorker(window, kModeStaticImages, StaticImageFeeder);
}

}  // namespace

INT_PTR OnStartCommand(HWND window) {
  switch (Shell().currentMode) {
    case kModeCustomize:
      LaunchCustomizingTool(window);  // needs no panel
      return TRUE;
    case kModeStaticImages:
      return StartStaticImages(window);
    case kModeGpsGauge:
    case kModeFsxLiveView:
    case kModeLiveMonitor:
      return StartLiveTool(window, Shell().currentMode);
    default:
      (void)CheckSelection(window);
      return TRUE;
  }
}

INT_PTR OnStopCommand(HWND window) {
  if (!CheckSelection(window)) return TRUE;
  switch (StopWorker(static_cast<int>(Shell().selectedIndex.load()))) {
    case StopResult::kNoWorker:
      return TRUE;
    case StopResult::kTimedOut:
      ShowMessage(window, msg::kThreadStopFailed);
      return TRUE;
    case StopResult::kStopped:
      ShowRunningButtons(window, false);
      DisplaySlotSettings(window, Shell().selectedIndex.load());
      return TRUE;
  }
  return TRUE;
}

INT_PTR OnSetupCommand(HWND window) {
  if (!CheckSelection(window)) return TRUE;
  switch (Shell().currentMode) {
    case kModeGpsGauge:
    case kModeFsxLiveView:
    case kModeLiveMonitor:
      RunRegionSetup(window);
      return TRUE;
    case kModeCustomize:
      RunToolFolderSetup(window);
      return TRUE;
    case kModeStaticImages:
      RunImageFolderSetup(window);
      return TRUE;
    default:
      return FALSE;
  }
}

// Only while the hardware-details switch is on, and only for a line that names a panel.
INT_PTR OnDeviceDoubleClick(HWND window) {
  if (Shell().hardwareDetails == 1 && CheckSelection(window)) ShowDeviceInformation(window);
  return TRUE;
}

}  // namespace panelcast
