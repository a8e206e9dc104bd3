#include "sim/simulator_feeder.h"

#include <atomic>

#include "devices/slot_table.h"
#include "feeds/worker_supervision.h"
#include "sim/simulator_presence.h"

namespace panelcast {
namespace {

std::atomic<SimulatorAbsentNotice> g_absentNotice{nullptr};  // main thread writes; workers read

}  // namespace

void SetSimulatorAbsentNotice(SimulatorAbsentNotice notice) { g_absentNotice = notice; }

DWORD RunSimulatorFeeder(int slotIndex, const ScreenFeederConfig& config) {
  if (IsSimulatorRunning() == 0) {
    if (const SimulatorAbsentNotice notice = g_absentNotice.load()) notice();
    return EndWorker(Slots()->slots[slotIndex], kWorkerGaveUp);
  }
  return RunScreenFeeder(slotIndex, config);
}

}  // namespace panelcast
