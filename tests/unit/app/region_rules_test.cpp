// The capture rectangle's rules: degenerate rectangles, the screen flag, reading typed numbers.
#include "app/region_rules.h"

#include <gtest/gtest.h>

namespace panelcast {
namespace {

int32_t Parsed(const wchar_t* text) {
  int32_t value = 12345678;
  EXPECT_TRUE(ParseCoordinate(text, value)) << "text: " << static_cast<const void*>(text);
  return value;
}

TEST(CoordinateText, ReadsWholeSignedNumbers) {
  EXPECT_EQ(Parsed(L"-1920"), -1920);  // what the program writes for a screen left of the primary
  EXPECT_EQ(Parsed(L"-1000"), -1000);
  EXPECT_EQ(Parsed(L"12345"), 12345);
  EXPECT_EQ(Parsed(L"1920"), 1920);
  EXPECT_EQ(Parsed(L"0"), 0);
  EXPECT_EQ(Parsed(L"-2147483648"), INT32_MIN);
}

TEST(CoordinateText, FollowsTheStandardConversion) {
  EXPECT_EQ(Parsed(L"  42"), 42);   // leading white space
  EXPECT_EQ(Parsed(L"+7"), 7);      // sign
  EXPECT_EQ(Parsed(L"12ab"), 12);   // stops at the first non-digit
  EXPECT_EQ(Parsed(L"abc"), 0);     // no digits give 0
  EXPECT_EQ(Parsed(L"-"), 0);
  EXPECT_EQ(Parsed(L"99999999999"), INT32_MAX);  // clamped to 32 bits
}

TEST(CoordinateText, EmptyTextIsRefused) {
  int32_t value = 5;
  EXPECT_FALSE(ParseCoordinate(L"", value));
  EXPECT_EQ(value, 5);
}

TEST(RegionRules, DegenerateRectangles) {
  EXPECT_TRUE(IsDegenerateRegion({0, 0, 0, 0}));
  EXPECT_TRUE(IsDegenerateRegion({0, 10, 0, 100}));      // no width
  EXPECT_TRUE(IsDegenerateRegion({10, 0, 100, 0}));      // no height
  EXPECT_TRUE(IsDegenerateRegion({10, 200, 100, 100}));  // top below bottom
  EXPECT_FALSE(IsDegenerateRegion({0, 0, 100, 100}));
  EXPECT_FALSE(IsDegenerateRegion({500, 0, 100, 100}));  // left greater than right passes
  EXPECT_FALSE(IsDegenerateRegion({-1920, 0, -1000, 1080}));
}

TEST(RegionRules, ScreenFlagMarksRectanglesLeftOfThePrimaryScreen) {
  EXPECT_EQ(ScreenFlagFor({0, 0, 1920, 1080}), 1);
  EXPECT_EQ(ScreenFlagFor({-1000, 0, -200, 100}), 2);
  EXPECT_EQ(ScreenFlagFor({-100, 0, 0, 100}), 2);
  EXPECT_EQ(ScreenFlagFor({-100, 0, 300, 100}), 2);
  EXPECT_EQ(ScreenFlagFor({0, -500, 300, -100}), 1);  // above the primary screen
}

}  // namespace
}  // namespace panelcast
