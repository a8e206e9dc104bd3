#include "sim/gps_events.h"

#include "feeds/live_buttons.h"

namespace panelcast {
namespace {

// Events of buttons 1 to 6 on button page 1 and on button page 2.
constexpr const char* kButtonEvents[2][6] = {
    {"GPS_ZOOMOUT_BUTTON", "GPS_ZOOMIN_BUTTON", "GPS_MENU_BUTTON", "GPS_CLEAR_BUTTON",
     "GPS_ENTER_BUTTON", "GPS_CURSOR_BUTTON"},
    {"GPS_NEAREST_BUTTON", "GPS_MSG_BUTTON", "GPS_FLIGHTPLAN_BUTTON", "GPS_TERRAIN_BUTTON",
     "GPS_PROCEDURE_BUTTON", "GPS_CURSOR_BUTTON"},
};

// 0x08/0x10 turn the page knob, 0x02/0x04 the group knob; a step up wins over a step down.
void AddKnobEvents(uint32_t buttons, GpsPress& press) {
  if (buttons & kEncoderUpA) {
    press.events[press.eventCount++] = "GPS_PAGE_KNOB_INC";
  } else if (buttons & kEncoderDownA) {
    press.events[press.eventCount++] = "GPS_PAGE_KNOB_DEC";
  }
  if (buttons & kEncoderUpB) {
    press.events[press.eventCount++] = "GPS_GROUP_KNOB_INC";
  } else if (buttons & kEncoderDownB) {
    press.events[press.eventCount++] = "GPS_GROUP_KNOB_DEC";
  }
}

}  // namespace

GpsPress DecodeGpsButtons(uint32_t buttons, int32_t gpsPage) {
  GpsPress press;
  if (buttons == kChordHints) {
    press.action = GpsAction::kFlipHints;
    return press;
  }
  if (buttons == kChordLights) {
    press.action = GpsAction::kFlipLights;
    return press;
  }
  for (int i = 0; i < 6; ++i) {
    if (buttons != kButtonValues[i]) continue;
    press.action = GpsAction::kButton;
    press.button = i + 1;
    press.events[press.eventCount++] = kButtonEvents[gpsPage == 0 ? 0 : 1][i];
    return press;
  }
  press.action = GpsAction::kKnobs;
  AddKnobEvents(buttons, press);
  return press;
}

std::optional<int32_t> GpsPageForPanelPage(uint32_t panelPage) {
  if (panelPage == 1) return 0;
  if (panelPage == 2) return 1;
  return std::nullopt;
}

}  // namespace panelcast
