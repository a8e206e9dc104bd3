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

std::vector<Entry> Entries(std::initializer_list<const wchar_t*> serials) {
  std::vector<Entry> entries(30);
  int tag = 0;
  for (const wchar_t* serial : serials) {
    std::wcscpy(entries[tag].serialNumber, serial);
    entries[tag].tag = tag;
    ++tag;
  }
  for (std::size_t i = tag; i < entries.size(); ++i) entries[i].tag = static_cast<int>(i);
  return entries;
}

// Walks the texts over the entries of `panels` connected panels (the rest of the 30 are empty).
std::vector<int> Walk(std::vector<Entry>& entries, std::initializer_list<const wchar_t*> texts,
                      std::size_t panels = 3) {
  std::size_t position = 0;
  for (const wchar_t* text : texts) {
    position = PlaceEntryForText(entries.data(), panels, position, text);
  }
  return {entries[0].tag, entries[1].tag, entries[2].tag};
}

TEST(RegistryOrder, PanelsListedInAnotherOrderSwapPlaces) {
  auto entries = Entries({L"AAA111", L"BBB222"});
  EXPECT_EQ(Walk(entries, {L"USB\\VID_06A3&PID_A2AE\\BBB222", L"USB\\VID_06A3&PID_A2AE\\AAA111"}),
            (std::vector<int>{1, 0, 2}));
}

TEST(RegistryOrder, ThreePanelsFollowTheRegistry) {
  auto entries = Entries({L"S1", L"S2", L"S3"});
  EXPECT_EQ(Walk(entries, {L"USB\\VID_06A3&PID_A2AE\\S3", L"USB\\VID_046D&PID_C52B\\S9",
                           L"USB\\VID_06A3&PID_A2AE\\S1", L"USB\\VID_06A3&PID_A2AE\\S2"}),
            (std::vector<int>{2, 0, 1}));
}

TEST(RegistryOrder, TextsOfOtherDevicesOrWithLowerCasePrefixChangeNothing) {
  auto entries = Entries({L"AAA", L"BBB"});
  EXPECT_EQ(Walk(entries, {L"USB\\VID_1234&PID_0001\\BBB", L"usb\\vid_06a3&pid_a2ae\\BBB"}),
            (std::vector<int>{0, 1, 2}));
}

TEST(RegistryOrder, AnEmptySerialMatchesEveryPanelText) {
  auto entries = Entries({L"", L"BBB"});
  // The first entry (empty serial) takes the first panel text, whatever it names.
  EXPECT_EQ(Walk(entries, {L"USB\\VID_06A3&PID_A2AE\\BBB"}), (std::vector<int>{0, 1, 2}));
}

TEST(RegistryOrder, EmptyEntriesBeyondTheConnectedPanelsNeverMoveToTheFront) {
  // A text naming a panel that is not connected must not pull an unused (empty) entry in front of
  // the connected ones: the list would lose a real panel's line.
  auto entries = Entries({L"AAA", L"BBB"});
  EXPECT_EQ(Walk(entries, {L"USB\\VID_06A3&PID_A2AE\\GONE", L"USB\\VID_06A3&PID_A2AE\\BBB"}, 2),
            (std::vector<int>{1, 0, 2}));
}

}  // namespace
}  // namespace panelcast
