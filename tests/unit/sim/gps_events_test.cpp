#include "sim/gps_events.h"

#include <gtest/gtest.h>

#include <string>

namespace panelcast {
namespace {

// Every soft button on both GPS pages and every knob bit: the window's tests press only a few,
// and a wrong event name here sends the simulator a button the pilot did not press.
TEST(GpsEvents, EachValueSendsItsEventsOnItsPage) {
  using A = GpsAction;
  const struct {
    uint32_t value;
    int page;  // any value but 0 is page two
    GpsAction action;
    const char* events;
  } rows[] = {  // clang-format off
      {0x20, 0, A::kButton, "GPS_ZOOMOUT_BUTTON"}, {0x40, 0, A::kButton, "GPS_ZOOMIN_BUTTON"},
      {0x80, 0, A::kButton, "GPS_MENU_BUTTON"}, {0x100, 0, A::kButton, "GPS_CLEAR_BUTTON"},
      {0x200, 0, A::kButton, "GPS_ENTER_BUTTON"}, {0x400, 0, A::kButton, "GPS_CURSOR_BUTTON"},
      {0x20, 1, A::kButton, "GPS_NEAREST_BUTTON"}, {0x40, 1, A::kButton, "GPS_MSG_BUTTON"},
      {0x80, 1, A::kButton, "GPS_FLIGHTPLAN_BUTTON"}, {0x100, 1, A::kButton, "GPS_TERRAIN_BUTTON"},
      {0x200, 1, A::kButton, "GPS_PROCEDURE_BUTTON"}, {0x400, -1, A::kButton, "GPS_CURSOR_BUTTON"},
      {0x60, 0, A::kFlipHints, ""}, {0x180, 1, A::kFlipLights, ""},
      {0x08, 0, A::kKnobs, "GPS_PAGE_KNOB_INC"}, {0x10, 0, A::kKnobs, "GPS_PAGE_KNOB_DEC"},
      {0x02, 0, A::kKnobs, "GPS_GROUP_KNOB_INC"}, {0x04, 1, A::kKnobs, "GPS_GROUP_KNOB_DEC"},
      {0x06, 0, A::kKnobs, "GPS_GROUP_KNOB_INC"},
      {0x0A, 0, A::kKnobs, "GPS_PAGE_KNOB_INC GPS_GROUP_KNOB_INC"},
      {0x28, 0, A::kKnobs, "GPS_PAGE_KNOB_INC"}, {0, 0, A::kKnobs, ""},
  };  // clang-format on
  for (const auto& row : rows) {
    const GpsPress press = DecodeGpsButtons(row.value, row.page);
    std::string events;
    for (int i = 0; i < press.eventCount; ++i)
      events += (i ? " " : "") + std::string(press.events[i]);
    EXPECT_EQ(press.action, row.action) << std::hex << row.value << " page " << row.page;
    EXPECT_EQ(events, row.events) << std::hex << row.value << " page " << row.page;
  }
}

}  // namespace
}  // namespace panelcast
