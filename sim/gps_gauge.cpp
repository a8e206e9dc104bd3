#include "sim/gps_gauge.h"

#include "feeds/worker_supervision.h"
#include "monitor/live_monitor.h"
#include "resources/resource_ids.h"
#include "sim/gps_buttons.h"
#include "sim/simulator_feeder.h"

namespace panelcast {
namespace {

// Read once a cycle, after the capture: a page switch shows from the next frame on.
int FramePageIndex() { return CurrentGpsPage() == 0 ? 0 : 1; }

}  // namespace

ScreenFeederConfig GpsGaugeConfig() {
  // The live monitor's rectangle rule; everything else differs.
  ScreenFeederConfig config = LiveMonitorConfig();
  config.pageHandler = OnGpsPageChange;
  config.softButtonHandler = OnGpsSoftButton;
  config.pageCount = 2;
  config.splashId = IDB_SPLASH_GPS;
  config.hintIds[0] = IDB_HINTS_GPS_PAGE1;
  config.hintIds[1] = IDB_HINTS_GPS_PAGE2;
  config.framePage = FramePageIndex;
  config.otherDepth = OtherDepthFrame::kSplashEveryPage;
  return config;
}

DWORD WINAPI GpsGaugeFeeder(void* slotIndexAsPointer) {
  return RunSimulatorFeeder(SlotIndexFromArgument(slotIndexAsPointer), GpsGaugeConfig());
}

}  // namespace panelcast
