#include "app/stop_messages.h"

#include "base/messages.h"
#include "feeds/worker_supervision.h"

namespace panelcast {
namespace {

void ShowStall(HWND window, StopStall stall) {
  ShowMessage(window, stall == StopStall::kWorkers ? msg::kStopAllFailed : msg::kWatcherStopFailed);
}

}  // namespace

void StopAllWorkersTellingUser(HWND window) { StopAllWorkers(window, ShowStall); }

}  // namespace panelcast
