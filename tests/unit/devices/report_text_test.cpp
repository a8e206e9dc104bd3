// Fitting the device report into its 5000 units.
#include "devices/report_text.h"

#include <gtest/gtest.h>

#include <string>

namespace panelcast {
namespace {

TEST(ReportText, ATextThatFitsIsKeptWhole) {
  EXPECT_EQ(FittingReportLength(L"Full path: x\r\nSerial number: X", 100), 30u);
  const std::wstring exact(4999, L'a');
  EXPECT_EQ(FittingReportLength(exact, 5000), 4999u);
  EXPECT_EQ(FittingReportLength(L"", 1), 0u);
  EXPECT_EQ(FittingReportLength(L"abc", 0), 0u);
}

TEST(ReportText, ALongTextLosesWholeLinesFromItsEnd) {
  const std::wstring text = L"Full path: aaaa\r\nHardware ID: bbbb\r\nSerial number: cccc";
  // Room for 40 units: the first two lines (34 units) fit, the third does not.
  EXPECT_EQ(FittingReportLength(text, 41), 34u);
  // A line break that begins right at the end of the room still ends a line that fits.
  EXPECT_EQ(FittingReportLength(text, 35), 34u);
  EXPECT_EQ(FittingReportLength(text, 34), 15u);
}

TEST(ReportText, AFirstLineTooLongIsCutBetweenCharacters) {
  std::wstring text(10, L'a');
  text += L"\r\nmore";
  EXPECT_EQ(FittingReportLength(text, 6), 5u);
  // A surrogate pair at the cut goes whole.
  std::wstring paired = L"abcd";
  paired += static_cast<wchar_t>(0xD83D);
  paired += static_cast<wchar_t>(0xDE00);
  paired += L"ef";
  EXPECT_EQ(FittingReportLength(paired, 6), 4u);
  EXPECT_EQ(FittingReportLength(paired, 7), 6u);
}

}  // namespace
}  // namespace panelcast
