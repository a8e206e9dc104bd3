// One check for the order of the calls a panel received, as conformance suites check message
// sequences: an expected list whose entries may be optional or repeated, compared with the calls
// the stand-in logged, failing with a numbered listing of both. No Windows header: it is tested
// natively as well.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace driver {

struct ExpectedCall {
  enum Count { kOnce, kOptional, kOneOrMore, kAnyNumber };
  ExpectedCall(const char* text, Count count = kOnce) : text(text), count(count) {}
  ExpectedCall(std::string text, Count count = kOnce) : text(std::move(text)), count(count) {}
  std::string text;  // the call as the tests describe it, e.g. "AddPage page=1 flags=1"
  Count count;
};

inline ExpectedCall Optional(std::string text) {
  return {std::move(text), ExpectedCall::kOptional};
}
inline ExpectedCall OneOrMore(std::string text) {
  return {std::move(text), ExpectedCall::kOneOrMore};
}
inline ExpectedCall AnyNumber(std::string text) {
  return {std::move(text), ExpectedCall::kAnyNumber};
}

// Success when `actual` is exactly `expected` with each entry taken as often as its count allows;
// otherwise both lists numbered, and the first call that no reading of `expected` accounts for.
::testing::AssertionResult CallsMatch(const std::vector<std::string>& actual,
                                      const std::vector<ExpectedCall>& expected);
// The same for a list of calls each expected once.
::testing::AssertionResult CallsMatch(const std::vector<std::string>& actual,
                                      const std::vector<std::string>& expected);

}  // namespace driver
