// The capture rectangle's rules: reading typed numbers, degenerate rectangles, the screen flag.
#include "app/region_rules.h"

#include <gtest/gtest.h>

namespace panelcast {
namespace {

// Whole signed numbers as the standard conversion reads them; empty text is refused.
TEST(CoordinateText, ReadsAsTheStandardConversion) {
  const struct {
    const wchar_t* text;
    bool read;
    int32_t value;
  } rows[] = {
      {L"-1920", true, -1920},  // what the program writes for a screen left of the primary
      {L"12345", true, 12345},       {L"0", true, 0},
      {L"-2147483648", true, INT32_MIN}, {L"99999999999", true, INT32_MAX},  // clamped
      {L"  42", true, 42},           {L"+7", true, 7},   {L"12ab", true, 12},
      {L"abc", true, 0},             {L"-", true, 0},    {L"", false, 5},
  };
  for (const auto& row : rows) {
    int32_t value = 5;
    EXPECT_EQ(ParseCoordinate(row.text, value), row.read) << static_cast<const void*>(row.text);
    EXPECT_EQ(value, row.value) << static_cast<const void*>(row.text);
  }
}

TEST(RegionRules, DegenerateRectanglesAndTheScreenFlag) {
  const struct {
    RegionValues region;  // left, top, right, bottom
    bool degenerate;
    int screenFlag;  // 2: the rectangle reaches left of the primary screen
  } rows[] = {
      {{0, 0, 0, 0}, true, 1},          {{0, 10, 0, 100}, true, 1},  // no width
      {{10, 0, 100, 0}, true, 1},       {{10, 200, 100, 100}, true, 1},  // top below bottom
      {{0, 0, 100, 100}, false, 1},     {{500, 0, 100, 100}, false, 1},  // left > right passes
      {{-1920, 0, -1000, 1080}, false, 2}, {{0, 0, 1920, 1080}, false, 1},
      {{-1000, 0, -200, 100}, false, 2}, {{-100, 0, 0, 100}, false, 2},
      {{-100, 0, 300, 100}, false, 2},  {{0, -500, 300, -100}, false, 1},  // above the primary
  };
  for (const auto& row : rows) {
    EXPECT_EQ(IsDegenerateRegion(row.region), row.degenerate) << row.region.left;
    EXPECT_EQ(ScreenFlagFor(row.region), row.screenFlag) << row.region.left;
  }
}

}  // namespace
}  // namespace panelcast
