#include "sim/gps_events.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace panelcast {
namespace {

std::vector<std::string> Events(const GpsPress& press) {
  return std::vector<std::string>(press.events, press.events + press.eventCount);
}

TEST(GpsEvents, EachButtonSendsItsEventOnEachPage) {
  const uint32_t values[6] = {0x20, 0x40, 0x80, 0x100, 0x200, 0x400};
  const std::vector<std::string> page1 = {"GPS_ZOOMOUT_BUTTON", "GPS_ZOOMIN_BUTTON",
                                          "GPS_MENU_BUTTON",    "GPS_CLEAR_BUTTON",
                                          "GPS_ENTER_BUTTON",   "GPS_CURSOR_BUTTON"};
  const std::vector<std::string> page2 = {"GPS_NEAREST_BUTTON", "GPS_MSG_BUTTON",
                                          "GPS_FLIGHTPLAN_BUTTON", "GPS_TERRAIN_BUTTON",
                                          "GPS_PROCEDURE_BUTTON", "GPS_CURSOR_BUTTON"};
  for (int i = 0; i < 6; ++i) {
    const GpsPress first = DecodeGpsButtons(values[i], 0);
    EXPECT_EQ(first.action, GpsAction::kButton);
    EXPECT_EQ(first.button, i + 1);
    EXPECT_EQ(Events(first), std::vector<std::string>{page1[i]});
    const GpsPress second = DecodeGpsButtons(values[i], 1);
    EXPECT_EQ(second.button, i + 1);
    EXPECT_EQ(Events(second), std::vector<std::string>{page2[i]});
  }
}

TEST(GpsEvents, AnyPageValueOtherThanZeroIsPageTwo) {
  EXPECT_EQ(Events(DecodeGpsButtons(0x20, 7)), std::vector<std::string>{"GPS_NEAREST_BUTTON"});
  EXPECT_EQ(Events(DecodeGpsButtons(0x20, -1)), std::vector<std::string>{"GPS_NEAREST_BUTTON"});
}

TEST(GpsEvents, TheTwoChordsAreTheSwitches) {
  EXPECT_EQ(DecodeGpsButtons(0x60, 0).action, GpsAction::kFlipHints);
  EXPECT_EQ(DecodeGpsButtons(0x180, 1).action, GpsAction::kFlipLights);
  EXPECT_EQ(DecodeGpsButtons(0x60, 0).eventCount, 0);
}

TEST(GpsEvents, EncodersPageKnobFirstAndStepUpWins) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Events(DecodeGpsButtons(0x08, 0)), V{"GPS_PAGE_KNOB_INC"});
  EXPECT_EQ(Events(DecodeGpsButtons(0x10, 0)), V{"GPS_PAGE_KNOB_DEC"});
  EXPECT_EQ(Events(DecodeGpsButtons(0x02, 0)), V{"GPS_GROUP_KNOB_INC"});
  EXPECT_EQ(Events(DecodeGpsButtons(0x04, 1)), V{"GPS_GROUP_KNOB_DEC"});
  EXPECT_EQ(Events(DecodeGpsButtons(0x18, 0)), V{"GPS_PAGE_KNOB_INC"});
  EXPECT_EQ(Events(DecodeGpsButtons(0x06, 0)), V{"GPS_GROUP_KNOB_INC"});
  EXPECT_EQ(Events(DecodeGpsButtons(0x0A, 0)), (V{"GPS_PAGE_KNOB_INC", "GPS_GROUP_KNOB_INC"}));
  EXPECT_EQ(Events(DecodeGpsButtons(0x14, 0)), (V{"GPS_PAGE_KNOB_DEC", "GPS_GROUP_KNOB_DEC"}));
  EXPECT_EQ(Events(DecodeGpsButtons(0x1E, 0)), (V{"GPS_PAGE_KNOB_INC", "GPS_GROUP_KNOB_INC"}));
}

TEST(GpsEvents, OtherValuesSendOnlyTheirKnobEvents) {
  EXPECT_EQ(DecodeGpsButtons(0xA0, 0).action, GpsAction::kKnobs);
  EXPECT_EQ(DecodeGpsButtons(0xA0, 0).eventCount, 0);
  EXPECT_EQ(DecodeGpsButtons(0, 0).eventCount, 0);
  const GpsPress buttonWithStep = DecodeGpsButtons(0x28, 0);
  EXPECT_EQ(buttonWithStep.action, GpsAction::kKnobs);
  EXPECT_EQ(Events(buttonWithStep), std::vector<std::string>{"GPS_PAGE_KNOB_INC"});
}

TEST(GpsEvents, PageNotificationsForPagesOneAndTwoOnly) {
  EXPECT_EQ(GpsPageForPanelPage(1), 0);
  EXPECT_EQ(GpsPageForPanelPage(2), 1);
  EXPECT_FALSE(GpsPageForPanelPage(0));
  EXPECT_FALSE(GpsPageForPanelPage(3));
  EXPECT_EQ(PanelPageForGpsPage(0), 1u);
  EXPECT_EQ(PanelPageForGpsPage(1), 2u);
}

}  // namespace
}  // namespace panelcast
