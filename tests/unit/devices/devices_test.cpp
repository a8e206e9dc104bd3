// The device tables' pure logic: serial numbers cut from USB paths, the registry's order of the
// panels, and the device report fitted into its 5000 units, at their edges.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "devices/registry_order.h"
#include "devices/report_text.h"
#include "devices/serial_number.h"

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
      {marker + q70 + L"#tail", 19, true, std::wstring(19, L'Q')},  // the limit counts as found
      {marker + L"abc", 50, false, L"ABC"},  // no hash: what was copied stays, not found
      {L"\\\\?\\USB#VID_06A3&PID_A2AE#AB12#{guid}", 50, false, L""},  // the marker's exact case
  };
  for (const auto& row : rows) {
    wchar_t out[51];
    const SerialCut cut = CutSerialNumber(row.path.c_str(), out, std::size(out), row.maxChars);
    EXPECT_EQ(cut.found, row.found) << row.path;
    EXPECT_EQ(std::wstring(out), row.serial) << row.path;
  }
}

struct Entry {
  wchar_t serialNumber[51] = {};
  int tag = 0;
};

TEST(RegistryOrder, PanelsFollowTheRegistrysTexts) {
  const std::wstring panel = L"USB\\VID_06A3&PID_A2AE\\";
  const struct {
    const wchar_t* first;  // the first entry's serial number; the second's is BBB
    std::size_t connected;
    std::vector<std::wstring> texts;
    std::vector<int> order;  // tags of the first three entries afterwards
  } rows[] = {
      // Beyond the identification tests' orders: a lower-case prefix is another device's.
      {L"AAA", 3, {L"usb\\vid_06a3&pid_a2ae\\BBB"}, {0, 1, 2}},
      // An empty serial takes the first panel text, whatever it names.
      {L"", 3, {panel + L"BBB"}, {0, 1, 2}},
      // A panel not connected never pulls an unused entry in front of the connected ones.
      {L"AAA", 2, {panel + L"GONE", panel + L"BBB"}, {1, 0, 2}},
  };
  for (const auto& row : rows) {
    std::vector<Entry> entries(30);
    for (std::size_t i = 0; i < entries.size(); ++i) entries[i].tag = static_cast<int>(i);
    std::wcscpy(entries[0].serialNumber, row.first);
    std::wcscpy(entries[1].serialNumber, L"BBB");
    std::size_t position = 0;
    for (const std::wstring& text : row.texts) {
      position = PlaceEntryForText(entries.data(), row.connected, position, text.c_str());
    }
    EXPECT_EQ((std::vector<int>{entries[0].tag, entries[1].tag, entries[2].tag}), row.order)
        << row.texts[0];
  }
}

TEST(ReportText, WholeLinesFitOrTheFirstIsCutBetweenCharacters) {
  const std::wstring lines = L"Full path: aaaa\r\nHardware ID: bbbb\r\nSerial number: cccc";
  const std::wstring paired = L"abcd\xD83D\xDE00" L"ef";  // a surrogate pair at units 4 and 5
  const struct {
    std::wstring text;
    std::size_t room, kept;
  } rows[] = {
      {std::wstring(4999, L'a'), 5000, 4999}, {L"abc", 0, 0}, {lines, 34, 15},
      {lines, 35, 34},  // a line break right at the end of the room still ends a line
      {std::wstring(10, L'a') + L"\r\nmore", 6, 5},  // a first line too long is cut
      {paired, 6, 4}, {paired, 7, 6},                  // the pair goes whole
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FittingReportLength(row.text, row.room), row.kept)
        << row.text.size() << " in " << row.room;
  }
}

}  // namespace
}  // namespace panelcast
