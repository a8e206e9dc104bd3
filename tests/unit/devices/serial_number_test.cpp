// Cutting serial numbers out of USB interface paths.
#include "devices/serial_number.h"

#include <gtest/gtest.h>

#include <string>

namespace panelcast {
namespace {

struct Cut {
  bool found;
  std::wstring serial;
};

Cut CutFrom(const std::wstring& path, std::size_t maxChars = 50) {
  wchar_t out[51];
  const SerialCut cut = CutSerialNumber(path.c_str(), out, std::size(out), maxChars);
  return {cut.found, out};
}

TEST(SerialNumberCut, TakesTheTextBetweenMarkerAndHashInUpperCase) {
  const Cut cut = CutFrom(L"\\\\?\\usb#vid_06a3&pid_a2ae#ab12cd34#{a5dcbf10-6530-11d2}");
  EXPECT_TRUE(cut.found);
  EXPECT_EQ(cut.serial, L"AB12CD34");
}

TEST(SerialNumberCut, OnlyLettersAToZAreRaised) {
  const Cut cut = CutFrom(L"usb#vid_06a3&pid_a2ae#x-y_z.\u00e9#");
  EXPECT_TRUE(cut.found);
  EXPECT_EQ(cut.serial, L"X-Y_Z.\u00e9");
}

TEST(SerialNumberCut, StopsAtTheLimitAndCountsAsFound) {
  const std::wstring longSerial(70, L'q');
  const Cut fifty = CutFrom(L"usb#vid_06a3&pid_a2ae#" + longSerial + L"#tail");
  EXPECT_TRUE(fifty.found);
  EXPECT_EQ(fifty.serial, std::wstring(50, L'Q'));

  const Cut nineteen = CutFrom(L"usb#vid_06a3&pid_a2ae#" + longSerial + L"#tail", 19);
  EXPECT_TRUE(nineteen.found);
  EXPECT_EQ(nineteen.serial, std::wstring(19, L'Q'));
}

TEST(SerialNumberCut, PathEndingBeforeTheHashKeepsWhatWasCopiedButIsNotFound) {
  const Cut cut = CutFrom(L"usb#vid_06a3&pid_a2ae#abc");
  EXPECT_FALSE(cut.found);
  EXPECT_EQ(cut.serial, L"ABC");
}

TEST(SerialNumberCut, MarkerIsComparedWithExactCase) {
  const Cut upper = CutFrom(L"\\\\?\\USB#VID_06A3&PID_A2AE#AB12#{guid}");
  EXPECT_FALSE(upper.found);
  EXPECT_EQ(upper.serial, L"");
  const Cut other = CutFrom(L"\\\\?\\usb#vid_1234&pid_5678#ab12#{guid}");
  EXPECT_FALSE(other.found);
  const Cut empty = CutFrom(L"");
  EXPECT_FALSE(empty.found);
}

TEST(SerialNumberCut, EmptySerialBetweenMarkerAndHashIsFound) {
  const Cut cut = CutFrom(L"usb#vid_06a3&pid_a2ae##rest");
  EXPECT_TRUE(cut.found);
  EXPECT_EQ(cut.serial, L"");
}

}  // namespace
}  // namespace panelcast
