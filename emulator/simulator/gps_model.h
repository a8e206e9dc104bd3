// What the simulator stand-in's GPS shows and how each of the twelve GPS events changes it: the
// map range (zoom), the page group and page (the two knobs), the cursor, and the last key.
// No Windows header: built and tested natively as well.
#pragma once

#include <string>

namespace simstandin {

inline constexpr int kRangeCount = 9;

struct GpsModel {
  int rangeIndex = 4;    // into the ranges, 0 the closest; starts at 10 NM
  int group = 0;         // NAV, WPT, AUX, NRST
  int page = 0;          // within the group
  bool cursor = false;   // the cursor key toggles it
  std::string lastKey;   // the function line: the last key's name, e.g. "ZOOM IN"
  unsigned events = 0;   // events applied so far
};

// Applies one event by its simulator name ("GPS_ZOOMIN_BUTTON"...). False for a name the GPS does
// not know, which changes nothing.
bool ApplyGpsEvent(GpsModel& model, const std::string& eventName);

const char* RangeText(int rangeIndex);   // "10 NM"
const char* GroupName(int group);        // "NAV"
int PageCount(int group);
const char* PageName(int group, int page);

}  // namespace simstandin
