#include "sim/fsx_live_view.h"

#include "feeds/worker_supervision.h"
#include "monitor/live_monitor.h"
#include "sim/simulator_feeder.h"

namespace panelcast {
namespace {

// The primary screen's width is asked for in every cycle: it may change while the view runs.
SourceRect FsxSourceRect(const DeviceSlot& slot) {
  return FsxLiveViewSourceRect(slot.captureRect.left.load(), slot.captureRect.top.load(),
                               slot.captureRect.right.load(), slot.captureRect.bottom.load(),
                               slot.screenFlag.load(), GetSystemMetrics(SM_CXSCREEN));
}

}  // namespace

DWORD WINAPI FsxLiveViewFeeder(void* slotIndexAsPointer) {
  ScreenFeederConfig config = LiveMonitorConfig();
  config.sourceRect = FsxSourceRect;
  return RunSimulatorFeeder(SlotIndexFromArgument(slotIndexAsPointer), config);
}

}  // namespace panelcast
