#include "tests/driver/call_sequence.h"

#include <gtest/gtest.h>

namespace driver {
namespace {

TEST(CallSequence, EntriesAreTakenAsOftenAsTheirCountAllows) {
  const std::vector<ExpectedCall> start = {"AddPage", Optional("SetLed"), OneOrMore("SetImage"),
                                           AnyNumber("SetString"), "RemovePage"};
  const struct {
    std::vector<std::string> calls;
    bool match;
  } rows[] = {
      {{"AddPage", "SetImage", "RemovePage"}, true},
      {{"AddPage", "SetLed", "SetImage", "SetImage", "SetString", "SetString", "RemovePage"}, true},
      {{"AddPage", "RemovePage"}, false},                           // one or more: none
      {{"AddPage", "SetLed", "SetLed", "SetImage", "RemovePage"}, false},  // optional: twice
      {{"AddPage", "SetImage"}, false},                             // ends early
      {{"AddPage", "SetImage", "RemovePage", "RemovePage"}, false},  // one too many
      {{"SetImage", "AddPage", "RemovePage"}, false},               // out of order
  };
  for (const auto& row : rows) {
    EXPECT_EQ(static_cast<bool>(CallsMatch(row.calls, start)), row.match)
        << ::testing::PrintToString(row.calls);
  }
}

TEST(CallSequence, AFailureNumbersBothListsAndPointsAtTheFirstCallNotAccountedFor) {
  const std::vector<ExpectedCall> expected = {"AddPage", "RemovePage"};
  const auto result = CallsMatch({"AddPage", "SetLed", "RemovePage"}, expected);
  ASSERT_FALSE(result);
  const std::string text = result.message();
  EXPECT_NE(text.find("  1. AddPage\n  2. RemovePage\n"), std::string::npos) << text;
  EXPECT_NE(text.find("> 2. SetLed\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace driver
