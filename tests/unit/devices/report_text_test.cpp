// Fitting the device report into its 5000 units.
#include "devices/report_text.h"

#include <gtest/gtest.h>

#include <string>

namespace panelcast {
namespace {

TEST(ReportText, WholeLinesFitOrTheFirstIsCutBetweenCharacters) {
  const std::wstring lines = L"Full path: aaaa\r\nHardware ID: bbbb\r\nSerial number: cccc";
  const std::wstring paired = L"abcd\xD83D\xDE00" L"ef";  // a surrogate pair at units 4 and 5
  const struct {
    std::wstring text;
    std::size_t room, kept;
  } rows[] = {
      {L"Full path: x\r\nSerial number: X", 100, 30},  // fits: kept whole
      {std::wstring(4999, L'a'), 5000, 4999},
      {L"", 1, 0},
      {L"abc", 0, 0},
      {lines, 41, 34},  // the first two lines fit, the third does not
      {lines, 35, 34},  // a line break right at the end of the room still ends a line
      {lines, 34, 15},
      {std::wstring(10, L'a') + L"\r\nmore", 6, 5},  // a first line too long is cut
      {paired, 6, 4},  // the pair goes whole
      {paired, 7, 6},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FittingReportLength(row.text, row.room), row.kept)
        << row.text.size() << " in " << row.room;
  }
}

}  // namespace
}  // namespace panelcast
