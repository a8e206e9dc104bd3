// Drawing the simulator stand-in's GPS screen: a header with the page group, page number and page
// name, a moving map with the aircraft, waypoints spaced by the range and the scale bar, and the
// function line with the last key.
#pragma once

#include <windows.h>

#include "emulator/simulator/gps_model.h"

namespace simstandin {

// Draws the whole kScreenWidth x kScreenHeight screen into `dc`; `phase` moves the map.
void DrawGpsScreen(HDC dc, const GpsModel& model, int phase);

}  // namespace simstandin
