#include "app/region_rules.h"

#include <climits>
#include <cwchar>

namespace panelcast {

bool IsDegenerateRegion(const RegionValues& region) {
  return (region.left == 0 && region.right == 0) || (region.top == 0 && region.bottom == 0) ||
         region.top > region.bottom;
}

uint16_t ScreenFlagFor(const RegionValues& region) {
  return (region.right < 0 || region.left < 0) ? 2 : 1;
}

bool ParseCoordinate(const wchar_t* text, int32_t& value) {
  if (!text || text[0] == L'\0') return false;
  long long parsed = std::wcstoll(text, nullptr, 10);
  if (parsed > INT32_MAX) parsed = INT32_MAX;
  if (parsed < INT32_MIN) parsed = INT32_MIN;
  value = static_cast<int32_t>(parsed);
  return true;
}

}  // namespace panelcast
