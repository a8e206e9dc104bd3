// The calls a panel received checked as conformance suites check message sequences, failing with
// a numbered listing of both lists. No Windows header: it is tested natively too.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace driver {

struct ExpectedCall {
  enum Count { kOnce, kOneOrMore };
  ExpectedCall(const char* text, Count count = kOnce) : text(text), count(count) {}
  ExpectedCall(std::string text, Count count = kOnce) : text(std::move(text)), count(count) {}
  std::string text;  // as the tests describe a call, e.g. "AddPage page=1 flags=1"
  Count count;
};

inline ExpectedCall OneOrMore(std::string text) {
  return {std::move(text), ExpectedCall::kOneOrMore};
}

// Success when `actual` is exactly `expected` with each entry taken as often as its count
// allows; otherwise both lists numbered, and the first call that no reading of `expected` takes.
::testing::AssertionResult CallsMatch(const std::vector<std::string>& actual,
                                      const std::vector<ExpectedCall>& expected);
::testing::AssertionResult CallsMatch(const std::vector<std::string>& actual,
                                      const std::vector<std::string>& expected);

}  // namespace driver
