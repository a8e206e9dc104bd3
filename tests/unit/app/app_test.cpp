// The main window's pure rules where the region picker's tests do not reach: typed numbers at
// the ends of the range and past their digits, degenerate rectangles, the screen flag of either
// side left of the primary screen, and which list selection names a slot.
#include <gtest/gtest.h>

#include "app/region_rules.h"
#include "app/selection_index.h"

namespace panelcast {
namespace {

TEST(CoordinateText, ReadsAsTheStandardConversionClamped) {
  const std::pair<const wchar_t*, int32_t> rows[] = {
      {L"-99999999999", INT32_MIN}, {L"99999999999", INT32_MAX}, {L"  +7", 7}, {L"12ab", 12},
      {L"-", 0}};
  for (const auto& [text, read] : rows) {
    int32_t value = 5;
    EXPECT_TRUE(ParseCoordinate(text, value)) << text;
    EXPECT_EQ(value, read) << text;
  }
  int32_t kept = 5;
  EXPECT_FALSE(ParseCoordinate(L"", kept));
  EXPECT_EQ(kept, 5);
}

// No width or a top below the bottom is refused; a left beyond the right is the user's choice.
// 2 when either side reaches left of the primary screen; above it is no matter.
TEST(RegionRules, DegenerateRectanglesAndTheScreenFlag) {
  for (const RegionValues& region : {RegionValues{0, 10, 0, 100}, RegionValues{10, 0, 100, 0},
                                     RegionValues{10, 200, 100, 100}}) {
    EXPECT_TRUE(IsDegenerateRegion(region)) << region.left << "," << region.top;
  }
  EXPECT_FALSE(IsDegenerateRegion({500, 0, 100, 100}));
  EXPECT_FALSE(IsDegenerateRegion({-1920, 0, -1000, 1080}));
  EXPECT_EQ(ScreenFlagFor({-100, 0, 300, 100}), 2);
  EXPECT_EQ(ScreenFlagFor({50, 0, -10, 100}), 2);
  EXPECT_EQ(ScreenFlagFor({0, -500, 300, -100}), 1);
}

// The list's selection can change under a modal dialog, to nothing (LB_ERR kept unsigned).
TEST(SelectionIndex, OnlyASelectionBelowTheSlotCountNamesASlot) {
  EXPECT_EQ(SlotIndexOfSelection(29, 30), 29u);
  EXPECT_EQ(SlotIndexOfSelection(30, 30), std::nullopt);
  EXPECT_EQ(SlotIndexOfSelection(0xFFFFFFFF, 30), std::nullopt);
}

}  // namespace
}  // namespace panelcast
