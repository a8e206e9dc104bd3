#include "app/tool_commands.h"

#include "app/control_states.h"
#include "app/main_window.h"
#include "app/messages.h"
#include "app/region_picker.h"
#include "app/shell_state.h"
#include "devices/device_list.h"
#include "feeds/live_monitor.h"
#include "feeds/worker_supervision.h"
#include "resources/resource_ids.h"

namespace panelcast {
namespace {

// The worker of each tool that has one; null for a tool that starts none (yet).
WorkerRoutine RoutineForMode(uint16_t mode) {
  switch (mode) {
    case kModeLiveMonitor:
      return LiveMonitorFeeder;
    default:
      return nullptr;
  }
}

DeviceSlot& SelectedSlot() { return Devices().slots->slots[Shell().selectedIndex.load()]; }

void ShowRunningButtons(HWND window, bool running) {
  EnableWindow(GetDlgItem(window, IDC_START), !running);
  EnableWindow(GetDlgItem(window, IDC_STOP), running);
}

// START for the live tools: the typed coordinates, then the worker.
INT_PTR StartLiveTool(HWND window, uint16_t mode) {
  if (!CheckSelection(window) || SelectedSlot().workerThread.load()) return TRUE;
  const WorkerRoutine routine = RoutineForMode(mode);
  if (!routine || !ValidateCoordinates(window)) return TRUE;
  if (!StartWorker(static_cast<int>(Shell().selectedIndex.load()),
                   static_cast<FeedMode>(mode), routine)) {
    ShowMessage(window, msg::kThreadStartFailed);
    return TRUE;
  }
  ShowRunningButtons(window, true);
  return TRUE;
}

}  // namespace

INT_PTR OnStartCommand(HWND window) {
  switch (Shell().currentMode) {
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
    case kModeStaticImages:
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR OnDeviceDoubleClick(HWND /*window*/) { return TRUE; }

}  // namespace panelcast
