// The rules a capture rectangle follows, whether it comes from the overlay or from the edits.
// Pure logic: no Windows header.
#pragma once

#include <cstdint>

namespace panelcast {

struct RegionValues {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// A rectangle with no width (left and right both 0), no height (top and bottom both 0), or top
// below bottom is degenerate. Left greater than right is accepted.
bool IsDegenerateRegion(const RegionValues& region);

// 2 when the rectangle reaches left of the primary screen's origin, else 1.
uint16_t ScreenFlagFor(const RegionValues& region);

// Characters read from a coordinate edit: a sign and ten digits, enough for any 32-bit value, so
// that "-1920" (which the program itself writes for a screen left of the primary one) reads back
// whole.
inline constexpr int kCoordinateChars = 11;

// Converts the text of a coordinate edit as the standard wide-text-to-long conversion does
// (leading white space and a sign accepted, stops at the first non-digit, no digits give 0),
// clamped to 32 bits. False for an empty text.
bool ParseCoordinate(const wchar_t* text, int32_t& value);

}  // namespace panelcast
