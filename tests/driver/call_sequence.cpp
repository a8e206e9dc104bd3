#include "tests/driver/call_sequence.h"

#include <sstream>

namespace driver {

::testing::AssertionResult CallsMatch(const std::vector<std::string>& actual,
                                      const std::vector<ExpectedCall>& expected) {
  using C = ExpectedCall;
  // reach[i][j]: the first i expected entries account for the first j calls; took[i][j]: and
  // the i-th entry took the j-th call (so a repeated entry may take the next one too).
  const std::size_t n = expected.size(), m = actual.size();
  std::vector<std::vector<char>> reach(n + 1, std::vector<char>(m + 1, 0)), took = reach;
  reach[0][0] = 1;
  std::size_t furthest = 0;  // calls accounted for by the longest match
  for (std::size_t i = 0; i <= n; ++i) {
    for (std::size_t j = 0; j <= m; ++j) {
      if (i > 0) {
        const C::Count count = expected[i - 1].count;
        const bool repeats = count == C::kOneOrMore || count == C::kAnyNumber;
        if (j > 0 && actual[j - 1] == expected[i - 1].text &&
            (reach[i - 1][j - 1] || (repeats && took[i][j - 1]))) {
          took[i][j] = reach[i][j] = 1;
        }
        if ((count == C::kOptional || count == C::kAnyNumber) && reach[i - 1][j]) reach[i][j] = 1;
      }
      if (reach[i][j] && j > furthest) furthest = j;
    }
  }
  if (reach[n][m]) return ::testing::AssertionSuccess();

  static const char* const kMarks[] = {"", " (optional)", " (one or more)", " (any number)"};
  std::ostringstream listing;
  listing << "the calls do not follow the expected sequence\nexpected:\n";
  for (std::size_t i = 0; i < n; ++i) {
    listing << "  " << i + 1 << ". " << expected[i].text << kMarks[expected[i].count] << "\n";
  }
  listing << "actual:\n";
  for (std::size_t j = 0; j < m; ++j) {
    listing << (j == furthest ? "> " : "  ") << j + 1 << ". " << actual[j] << "\n";
  }
  if (furthest == m) listing << "> (the calls end before the sequence does)\n";
  return ::testing::AssertionFailure() << listing.str();
}

::testing::AssertionResult CallsMatch(const std::vector<std::string>& actual,
                                      const std::vector<std::string>& expected) {
  return CallsMatch(actual, std::vector<ExpectedCall>(expected.begin(), expected.end()));
}

}  // namespace driver
