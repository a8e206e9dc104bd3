// The GPS gauge: the rectangle over the simulator's GPS, live on two panel pages whose labels are
// the two button pages of the GPS; the buttons and encoders work the GPS (sim/gps_buttons.h).
#pragma once

#include <windows.h>

#include "feeds/frame_pipeline.h"

namespace panelcast {

// Worker routine of FeedMode 2; the argument is the slot index.
DWORD WINAPI GpsGaugeFeeder(void* slotIndexAsPointer);

// The pipeline settings of the gauge: two pages, splash 232, labels 226 and 227, and each frame
// to the page that the process-wide gpsPage names.
ScreenFeederConfig GpsGaugeConfig();

}  // namespace panelcast
