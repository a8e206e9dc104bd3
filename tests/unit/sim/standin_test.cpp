// The simulator stand-in's Windows-free parts: the call text it receives, its connections and
// what each GPS event does to its screen.
#include <gtest/gtest.h>

#include "emulator/simulator/call_text.h"
#include "emulator/simulator/connections.h"
#include "emulator/simulator/gps_model.h"
#include "emulator/simulator/gps_screen_layout.h"

namespace simstandin {
namespace {

TEST(CallText, NameQuotedAndBareArguments) {
  const auto call = ParseCallText(
      "Open name=\"SEND GPS EVENT\" window=0x0 message=0 event=0x0 config=0");
  ASSERT_TRUE(call);
  EXPECT_EQ(call->name, "Open");
  EXPECT_EQ(call->args.at("name"), "SEND GPS EVENT");
  EXPECT_EQ(call->Number("window"), 0u);
  EXPECT_EQ(call->Number("config"), 0u);
  const auto transmit = ParseCallText("TransmitClientEvent connection=3 group=1 flags=0x10");
  ASSERT_TRUE(transmit);
  EXPECT_EQ(transmit->Number("flags"), 0x10u);
  EXPECT_EQ(transmit->Number("connection"), 3u);
  EXPECT_FALSE(transmit->Number("missing"));
}

TEST(CallText, MalformedLinesAreRefused) {
  EXPECT_FALSE(ParseCallText(""));
  EXPECT_FALSE(ParseCallText("Open name=\"unterminated"));
  EXPECT_FALSE(ParseCallText("Open novalue"));
  const auto notNumber = ParseCallText("Close connection=abc");
  ASSERT_TRUE(notNumber);
  EXPECT_FALSE(notNumber->Number("connection"));
}

TEST(Connections, EachConnectionHasItsOwnMappings) {
  Connections connections;
  const uint32_t a = connections.Open(), b = connections.Open();
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
  EXPECT_TRUE(connections.Map(a, 0, "GPS_MENU_BUTTON"));
  EXPECT_EQ(connections.Mapped(a, 0), "GPS_MENU_BUTTON");
  EXPECT_FALSE(connections.Mapped(b, 0));
  EXPECT_TRUE(connections.Close(a));
  EXPECT_FALSE(connections.Close(a));
  EXPECT_FALSE(connections.Mapped(a, 0));
  EXPECT_FALSE(connections.Map(a, 0, "GPS_MENU_BUTTON"));
  EXPECT_NE(connections.Open(), a);  // numbers are never reused
}

TEST(GpsModel, ZoomChangesTheRangeAndTheScaleBarWithinLimits) {
  GpsModel model;
  const int start = model.rangeIndex;
  ASSERT_TRUE(ApplyGpsEvent(model, "GPS_ZOOMIN_BUTTON"));
  EXPECT_EQ(model.rangeIndex, start - 1);
  EXPECT_LT(ScaleBarLength(model.rangeIndex), ScaleBarLength(start));
  EXPECT_EQ(model.lastKey, "ZOOM IN");
  for (int i = 0; i < 20; ++i) ApplyGpsEvent(model, "GPS_ZOOMIN_BUTTON");
  EXPECT_EQ(model.rangeIndex, 0);
  for (int i = 0; i < 20; ++i) ApplyGpsEvent(model, "GPS_ZOOMOUT_BUTTON");
  EXPECT_EQ(model.rangeIndex, kRangeCount - 1);
  EXPECT_STREQ(RangeText(model.rangeIndex), "200 NM");
}

TEST(GpsModel, KnobsTurnPagesAndGroupsRound) {
  GpsModel model;
  ApplyGpsEvent(model, "GPS_PAGE_KNOB_DEC");
  EXPECT_EQ(model.page, PageCount(0) - 1);
  ApplyGpsEvent(model, "GPS_PAGE_KNOB_INC");
  EXPECT_EQ(model.page, 0);
  ApplyGpsEvent(model, "GPS_PAGE_KNOB_INC");
  ApplyGpsEvent(model, "GPS_GROUP_KNOB_INC");
  EXPECT_EQ(model.group, 1);
  EXPECT_EQ(model.page, 0);
  EXPECT_STREQ(GroupName(model.group), "WPT");
  ApplyGpsEvent(model, "GPS_GROUP_KNOB_DEC");
  ApplyGpsEvent(model, "GPS_GROUP_KNOB_DEC");
  EXPECT_STREQ(GroupName(model.group), "NRST");
}

TEST(GpsModel, EveryGpsEventIsKnownAndOthersChangeNothing) {
  GpsModel model;
  for (const char* name :
       {"GPS_ZOOMOUT_BUTTON", "GPS_ZOOMIN_BUTTON", "GPS_MENU_BUTTON", "GPS_CLEAR_BUTTON",
        "GPS_ENTER_BUTTON", "GPS_CURSOR_BUTTON", "GPS_NEAREST_BUTTON", "GPS_MSG_BUTTON",
        "GPS_FLIGHTPLAN_BUTTON", "GPS_TERRAIN_BUTTON", "GPS_PROCEDURE_BUTTON",
        "GPS_PAGE_KNOB_INC", "GPS_PAGE_KNOB_DEC", "GPS_GROUP_KNOB_INC", "GPS_GROUP_KNOB_DEC"}) {
    EXPECT_TRUE(ApplyGpsEvent(model, name)) << name;
  }
  EXPECT_EQ(model.events, 15u);
  const GpsModel before = model;
  EXPECT_FALSE(ApplyGpsEvent(model, "GPS_UNKNOWN"));
  EXPECT_EQ(model.events, before.events);
  EXPECT_EQ(model.lastKey, before.lastKey);
}

TEST(GpsModel, CursorTogglesAndNearestOpensItsGroup) {
  GpsModel model;
  ApplyGpsEvent(model, "GPS_CURSOR_BUTTON");
  EXPECT_TRUE(model.cursor);
  ApplyGpsEvent(model, "GPS_CURSOR_BUTTON");
  EXPECT_FALSE(model.cursor);
  ApplyGpsEvent(model, "GPS_NEAREST_BUTTON");
  EXPECT_STREQ(GroupName(model.group), "NRST");
  EXPECT_STREQ(PageName(model.group, model.page), "NEAREST AIRPORT");
}

}  // namespace
}  // namespace simstandin
