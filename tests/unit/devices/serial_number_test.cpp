// Cutting serial numbers out of USB interface paths.
#include "devices/serial_number.h"

#include <gtest/gtest.h>

#include <string>

namespace panelcast {
namespace {

TEST(SerialNumberCut, TheTextBetweenMarkerAndHashInUpperCase) {
  const std::wstring marker = L"usb#vid_06a3&pid_a2ae#", q70(70, L'q');
  const struct {
    std::wstring path;
    std::size_t maxChars;
    bool found;
    std::wstring serial;
  } rows[] = {
      {L"\\\\?\\" + marker + L"ab12cd34#{a5dcbf10-6530-11d2}", 50, true, L"AB12CD34"},
      {marker + L"x-y_z.\u00e9#", 50, true, L"X-Y_Z.\u00e9"},  // only a to z are raised
      {marker + q70 + L"#tail", 50, true, std::wstring(50, L'Q')},  // the limit counts as found
      {marker + q70 + L"#tail", 19, true, std::wstring(19, L'Q')},
      {marker + L"abc", 50, false, L"ABC"},  // no hash: what was copied stays, not found
      {marker + L"#rest", 50, true, L""},
      {L"\\\\?\\USB#VID_06A3&PID_A2AE#AB12#{guid}", 50, false, L""},  // the marker's exact case
      {L"\\\\?\\usb#vid_1234&pid_5678#ab12#{guid}", 50, false, L""},
      {L"", 50, false, L""},
  };
  for (const auto& row : rows) {
    wchar_t out[51];
    const SerialCut cut = CutSerialNumber(row.path.c_str(), out, std::size(out), row.maxChars);
    EXPECT_EQ(cut.found, row.found) << row.path.size();
    EXPECT_EQ(std::wstring(out), row.serial) << row.path.size();
  }
}

}  // namespace
}  // namespace panelcast
