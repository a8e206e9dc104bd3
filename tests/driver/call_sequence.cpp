#include "tests/driver/call_sequence.h"

#include <sstream>

namespace driver {
namespace {

bool MayRepeat(ExpectedCall::Count count) {
  return count == ExpectedCall::kOneOrMore || count == ExpectedCall::kAnyNumber;
}

bool MaySkip(ExpectedCall::Count count) {
  return count == ExpectedCall::kOptional || count == ExpectedCall::kAnyNumber;
}

const char* CountMark(ExpectedCall::Count count) {
  switch (count) {
    case ExpectedCall::kOptional: return " (optional)";
    case ExpectedCall::kOneOrMore: return " (one or more)";
    case ExpectedCall::kAnyNumber: return " (any number)";
    case ExpectedCall::kOnce: break;
  }
  return "";
}

}  // namespace

::testing::AssertionResult CallsMatch(const std::vector<std::string>& actual,
                                      const std::vector<ExpectedCall>& expected) {
  // reach[i][j]: the first i expected entries can account for the first j calls, the i-th
  // entry having taken the j-th call when `took` (so it may take the next one too).
  const std::size_t n = expected.size(), m = actual.size();
  std::vector<std::vector<char>> reach(n + 1, std::vector<char>(m + 1, 0));
  std::vector<std::vector<char>> took(n + 1, std::vector<char>(m + 1, 0));
  reach[0][0] = 1;
  std::size_t furthest = 0;  // calls accounted for by the longest match
  for (std::size_t i = 0; i <= n; ++i) {
    for (std::size_t j = 0; j <= m; ++j) {
      if (i > 0) {
        const ExpectedCall& entry = expected[i - 1];
        const bool same = j > 0 && actual[j - 1] == entry.text;
        if (same && (reach[i - 1][j - 1] || (MayRepeat(entry.count) && took[i][j - 1]))) {
          took[i][j] = 1;
          reach[i][j] = 1;
        }
        if (MaySkip(entry.count) && reach[i - 1][j]) reach[i][j] = 1;
      }
      if (reach[i][j] && j > furthest) furthest = j;
    }
  }
  if (reach[n][m]) return ::testing::AssertionSuccess();

  std::ostringstream listing;
  listing << "the calls do not follow the expected sequence\nexpected:\n";
  for (std::size_t i = 0; i < n; ++i) {
    listing << "  " << i + 1 << ". " << expected[i].text << CountMark(expected[i].count) << "\n";
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
