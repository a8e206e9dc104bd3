#include "emulator/simulator/gps_model.h"

#include <algorithm>

namespace simstandin {
namespace {

constexpr const char* kRanges[kRangeCount] = {"0.5 NM", "1 NM",  "2 NM",   "5 NM",  "10 NM",
                                              "20 NM",  "50 NM", "100 NM", "200 NM"};

struct Group {
  const char* name;
  int pageCount;
  const char* pages[4];
};

constexpr Group kGroups[] = {
    {"NAV", 4, {"DEFAULT NAV", "MAP", "TERRAIN", "POSITION"}},
    {"WPT", 4, {"AIRPORT", "INTERSECTION", "NDB", "VOR"}},
    {"AUX", 3, {"TRIP PLANNING", "UTILITY", "SETUP"}},
    {"NRST", 3, {"NEAREST AIRPORT", "NEAREST VOR", "NEAREST NDB"}},
};
constexpr int kGroupCount = 4;
constexpr int kNearestGroup = 3;

int Wrap(int value, int count) { return (value % count + count) % count; }

// Keys that only show on the function line.
struct Key {
  const char* event;
  const char* text;
};
constexpr Key kPlainKeys[] = {
    {"GPS_MENU_BUTTON", "MENU"},          {"GPS_CLEAR_BUTTON", "CLR"},
    {"GPS_ENTER_BUTTON", "ENT"},          {"GPS_MSG_BUTTON", "MSG"},
    {"GPS_FLIGHTPLAN_BUTTON", "FPL"},     {"GPS_TERRAIN_BUTTON", "TERR"},
    {"GPS_PROCEDURE_BUTTON", "PROC"},
};

}  // namespace

bool ApplyGpsEvent(GpsModel& model, const std::string& name) {
  if (name == "GPS_ZOOMIN_BUTTON") {
    model.rangeIndex = std::max(0, model.rangeIndex - 1);
    model.lastKey = "ZOOM IN";
  } else if (name == "GPS_ZOOMOUT_BUTTON") {
    model.rangeIndex = std::min(kRangeCount - 1, model.rangeIndex + 1);
    model.lastKey = "ZOOM OUT";
  } else if (name == "GPS_PAGE_KNOB_INC" || name == "GPS_PAGE_KNOB_DEC") {
    model.page = Wrap(model.page + (name == "GPS_PAGE_KNOB_INC" ? 1 : -1), PageCount(model.group));
    model.lastKey = name == "GPS_PAGE_KNOB_INC" ? "PAGE +" : "PAGE -";
  } else if (name == "GPS_GROUP_KNOB_INC" || name == "GPS_GROUP_KNOB_DEC") {
    model.group = Wrap(model.group + (name == "GPS_GROUP_KNOB_INC" ? 1 : -1), kGroupCount);
    model.page = 0;
    model.lastKey = name == "GPS_GROUP_KNOB_INC" ? "GROUP +" : "GROUP -";
  } else if (name == "GPS_CURSOR_BUTTON") {
    model.cursor = !model.cursor;
    model.lastKey = model.cursor ? "CRSR ON" : "CRSR OFF";
  } else if (name == "GPS_NEAREST_BUTTON") {
    model.group = kNearestGroup;
    model.page = 0;
    model.lastKey = "NRST";
  } else {
    const Key* key = std::find_if(std::begin(kPlainKeys), std::end(kPlainKeys),
                                  [&](const Key& k) { return name == k.event; });
    if (key == std::end(kPlainKeys)) return false;
    model.lastKey = key->text;
  }
  ++model.events;
  return true;
}

const char* RangeText(int rangeIndex) { return kRanges[Wrap(rangeIndex, kRangeCount)]; }
const char* GroupName(int group) { return kGroups[Wrap(group, kGroupCount)].name; }
int PageCount(int group) { return kGroups[Wrap(group, kGroupCount)].pageCount; }
const char* PageName(int group, int page) {
  const Group& g = kGroups[Wrap(group, kGroupCount)];
  return g.pages[Wrap(page, g.pageCount)];
}

}  // namespace simstandin
