// Ordering identified panels after the registry's list of the composite-device service.
#include "devices/registry_order.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

namespace panelcast {
namespace {

struct Entry {
  wchar_t serialNumber[51] = {};
  int tag = 0;
};

TEST(RegistryOrder, PanelsFollowTheRegistrysTexts) {
  const std::wstring panel = L"USB\\VID_06A3&PID_A2AE\\";
  const struct {
    std::vector<const wchar_t*> serials;
    std::size_t connected;
    std::vector<std::wstring> texts;
    std::vector<int> order;  // tags of the first three entries afterwards
  } rows[] = {
      {{L"AAA111", L"BBB222"}, 3, {panel + L"BBB222", panel + L"AAA111"}, {1, 0, 2}},
      {{L"S1", L"S2", L"S3"}, 3,
       {panel + L"S3", L"USB\\VID_046D&PID_C52B\\S9", panel + L"S1", panel + L"S2"}, {2, 0, 1}},
      // Other devices' texts, and a lower-case prefix, change nothing.
      {{L"AAA", L"BBB"}, 3, {L"USB\\VID_1234&PID_0001\\BBB", L"usb\\vid_06a3&pid_a2ae\\BBB"},
       {0, 1, 2}},
      // An empty serial takes the first panel text, whatever it names.
      {{L"", L"BBB"}, 3, {panel + L"BBB"}, {0, 1, 2}},
      // A panel that is not connected never pulls an unused (empty) entry in front of the
      // connected ones: the list would lose a real panel's line.
      {{L"AAA", L"BBB"}, 2, {panel + L"GONE", panel + L"BBB"}, {1, 0, 2}},
  };
  for (const auto& row : rows) {
    std::vector<Entry> entries(30);
    for (std::size_t i = 0; i < entries.size(); ++i) entries[i].tag = static_cast<int>(i);
    for (std::size_t i = 0; i < row.serials.size(); ++i) {
      std::wcscpy(entries[i].serialNumber, row.serials[i]);
    }
    std::size_t position = 0;
    for (const std::wstring& text : row.texts) {
      position = PlaceEntryForText(entries.data(), row.connected, position, text.c_str());
    }
    EXPECT_EQ((std::vector<int>{entries[0].tag, entries[1].tag, entries[2].tag}), row.order)
        << row.texts.size() << " texts";
  }
}

}  // namespace
}  // namespace panelcast
