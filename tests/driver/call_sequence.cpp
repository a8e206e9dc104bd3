#include "tests/driver/call_sequence.h"

namespace driver {

::testing::AssertionResult CallsMatch(const std::vector<std::string>& actual,
                                      const std::vector<ExpectedCall>& expected) {
  // took[i][j]: the first i expected entries take exactly the first j calls, the i-th the j-th
  // (a repeating entry may then take the next one too).
  const std::size_t n = expected.size(), m = actual.size();
  std::vector<std::vector<char>> took(n + 1, std::vector<char>(m + 1, 0));
  took[0][0] = 1;
  std::size_t furthest = 0;  // calls taken by the longest match
  for (std::size_t i = 1; i <= n; ++i) {
    for (std::size_t j = 1; j <= m; ++j) {
      took[i][j] = actual[j - 1] == expected[i - 1].text &&
                   (took[i - 1][j - 1] ||
                    (expected[i - 1].count == ExpectedCall::kOneOrMore && took[i][j - 1]));
      if (took[i][j] && j > furthest) furthest = j;
    }
  }
  if (took[n][m]) return ::testing::AssertionSuccess();

  ::testing::AssertionResult listing = ::testing::AssertionFailure();
  listing << "the calls do not follow the expected sequence\nexpected:\n";
  for (std::size_t i = 0; i < n; ++i) {
    listing << "  " << i + 1 << ". " << expected[i].text
            << (expected[i].count == ExpectedCall::kOnce ? "" : " (one or more)") << "\n";
  }
  listing << "actual:\n";
  for (std::size_t j = 0; j < m; ++j) {
    listing << (j == furthest ? "> " : "  ") << j + 1 << ". " << actual[j] << "\n";
  }
  if (furthest == m) listing << "> (the calls end before the sequence does)\n";
  return listing;
}

::testing::AssertionResult CallsMatch(const std::vector<std::string>& actual,
                                      const std::vector<std::string>& expected) {
  return CallsMatch(actual, std::vector<ExpectedCall>(expected.begin(), expected.end()));
}

}  // namespace driver
