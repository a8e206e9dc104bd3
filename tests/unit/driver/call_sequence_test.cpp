#include "tests/driver/call_sequence.h"

#include <gtest/gtest.h>

namespace driver {
namespace {

TEST(CallSequence, EachEntryIsTakenInOrderAsOftenAsItsCountAllows) {
  using Calls = std::vector<std::string>;
  const std::vector<ExpectedCall> expected = {"AddPage", OneOrMore("SetImage"), "RemovePage"};
  for (const auto& [calls, match] : {
           std::pair{Calls{"AddPage", "SetImage", "RemovePage"}, true},
           {Calls{"AddPage", "SetImage", "SetImage", "RemovePage"}, true},
           {Calls{"AddPage", "RemovePage"}, false},                            // one or more: none
           {Calls{"AddPage", "SetImage"}, false},                              // ends early
           {Calls{"AddPage", "SetImage", "RemovePage", "RemovePage"}, false},  // one too many
           {Calls{"AddPage", "SetLed", "SetImage", "RemovePage"}, false},      // one not expected
           {Calls{"SetImage", "AddPage", "RemovePage"}, false},                // out of order
       }) {
    EXPECT_EQ(static_cast<bool>(CallsMatch(calls, expected)), match)
        << ::testing::PrintToString(calls);
  }
}

}  // namespace
}  // namespace driver
