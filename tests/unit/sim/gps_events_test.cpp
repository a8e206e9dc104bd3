#include "sim/gps_events.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace panelcast {
namespace {

// What a soft-button value does on each GPS page: the action, the button and the events sent.
TEST(GpsEvents, EachValueSendsItsEventsOnItsPage) {
  using A = GpsAction;
  const struct {
    uint32_t value;
    int page;
    GpsAction action;
    int button;  // 0 when not a button
    std::vector<std::string> events;
  } rows[] = {
      {0x20, 0, A::kButton, 1, {"GPS_ZOOMOUT_BUTTON"}},
      {0x40, 0, A::kButton, 2, {"GPS_ZOOMIN_BUTTON"}},
      {0x80, 0, A::kButton, 3, {"GPS_MENU_BUTTON"}},
      {0x100, 0, A::kButton, 4, {"GPS_CLEAR_BUTTON"}},
      {0x200, 0, A::kButton, 5, {"GPS_ENTER_BUTTON"}},
      {0x400, 0, A::kButton, 6, {"GPS_CURSOR_BUTTON"}},
      {0x20, 1, A::kButton, 1, {"GPS_NEAREST_BUTTON"}},
      {0x40, 1, A::kButton, 2, {"GPS_MSG_BUTTON"}},
      {0x80, 1, A::kButton, 3, {"GPS_FLIGHTPLAN_BUTTON"}},
      {0x100, 1, A::kButton, 4, {"GPS_TERRAIN_BUTTON"}},
      {0x200, 1, A::kButton, 5, {"GPS_PROCEDURE_BUTTON"}},
      {0x400, 1, A::kButton, 6, {"GPS_CURSOR_BUTTON"}},
      // Any page value but 0 is page two.
      {0x20, 7, A::kButton, 1, {"GPS_NEAREST_BUTTON"}},
      {0x20, -1, A::kButton, 1, {"GPS_NEAREST_BUTTON"}},
      // The two chords are the switches.
      {0x60, 0, A::kFlipHints, 0, {}}, {0x180, 1, A::kFlipLights, 0, {}},
      // Encoders: the page knob first, a step up wins over a step down.
      {0x08, 0, A::kKnobs, 0, {"GPS_PAGE_KNOB_INC"}},
      {0x10, 0, A::kKnobs, 0, {"GPS_PAGE_KNOB_DEC"}},
      {0x02, 0, A::kKnobs, 0, {"GPS_GROUP_KNOB_INC"}},
      {0x04, 1, A::kKnobs, 0, {"GPS_GROUP_KNOB_DEC"}},
      {0x18, 0, A::kKnobs, 0, {"GPS_PAGE_KNOB_INC"}},
      {0x06, 0, A::kKnobs, 0, {"GPS_GROUP_KNOB_INC"}},
      {0x0A, 0, A::kKnobs, 0, {"GPS_PAGE_KNOB_INC", "GPS_GROUP_KNOB_INC"}},
      {0x14, 0, A::kKnobs, 0, {"GPS_PAGE_KNOB_DEC", "GPS_GROUP_KNOB_DEC"}},
      {0x1E, 0, A::kKnobs, 0, {"GPS_PAGE_KNOB_INC", "GPS_GROUP_KNOB_INC"}},
      // Anything else sends only its knob events.
      {0xA0, 0, A::kKnobs, 0, {}}, {0, 0, A::kKnobs, 0, {}},
      {0x28, 0, A::kKnobs, 0, {"GPS_PAGE_KNOB_INC"}},
  };
  for (const auto& row : rows) {
    const GpsPress press = DecodeGpsButtons(row.value, row.page);
    EXPECT_EQ(press.action, row.action) << std::hex << row.value << " page " << row.page;
    if (row.button) {
      EXPECT_EQ(press.button, row.button) << std::hex << row.value;
    }
    EXPECT_EQ(std::vector<std::string>(press.events, press.events + press.eventCount), row.events)
        << std::hex << row.value << " page " << row.page;
  }
}

TEST(GpsEvents, PanelPagesOneAndTwoAreTheGpsPages) {
  const std::pair<uint32_t, std::optional<int>> rows[] = {{1, 0}, {2, 1}, {0, {}}, {3, {}}};
  for (const auto& [panelPage, gpsPage] : rows) {
    EXPECT_EQ(GpsPageForPanelPage(panelPage), gpsPage) << panelPage;
    if (gpsPage) {
      EXPECT_EQ(PanelPageForGpsPage(*gpsPage), panelPage);
    }
  }
}

}  // namespace
}  // namespace panelcast
