#include "sim/simulator_feeder.h"

#include "base/messages.h"
#include "devices/slot_table.h"
#include "feeds/worker_supervision.h"
#include "sim/simulator_presence.h"

namespace panelcast {

DWORD RunSimulatorFeeder(int slotIndex, const ScreenFeederConfig& config) {
  if (IsSimulatorRunning() == 0) {
    (void)ShowMessageOwnedByMain(msg::kSimulatorNotStarted);
    return EndWorker(Slots()->slots[slotIndex], kWorkerGaveUp);
  }
  return RunScreenFeeder(slotIndex, config);
}

}  // namespace panelcast
