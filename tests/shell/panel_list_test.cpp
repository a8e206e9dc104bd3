// The panel list at start: one "Generic FIP Device" line per connected panel, up to 30, panels of
// another type left out without a word, the first line selected.
#include <gtest/gtest.h>

#include "tests/shell/shell_test_support.h"

namespace shelltest {
namespace {

constexpr int kList = 1000;

void ExpectGenericLines(HWND main, std::size_t count) {
  const auto lines = ListLines(main);
  ASSERT_EQ(lines.size(), count);
  for (const auto& line : lines) EXPECT_EQ(line, L"Generic FIP Device");
}

TEST(PanelList, NoPanelStartsWithAnEmptyGreyedList) {
  auto session = StartWithPanelCount(0);
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  EXPECT_TRUE(NoMessageBoxFor(session->program->Id(), 500));
  ExpectGenericLines(main, 0);
  EXPECT_EQ(driver::ListSelection(main, kList), LB_ERR);
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::IsChecked(main, 1014); }, kTimeoutMs));
  EXPECT_FALSE(driver::IsEnabled(main, 1012));  // START
  EXPECT_FALSE(driver::IsEnabled(main, 1027));  // STOP
  // The default rule greys Setup and the settings once a message reaches it.
  EXPECT_TRUE(driver::WaitUntil([&] { return !driver::IsEnabled(main, 1013); }, kTimeoutMs));
  for (int id : {1018, 1019, 1022, 1023, 1024, 1025, 1020, 1026, 1036}) {
    EXPECT_FALSE(driver::IsEnabled(main, id)) << "control " << id;
  }
  for (int id : {1014, 1015, 1016, 1017, 1021, 1000, 1009, 1010, 1011}) {
    EXPECT_TRUE(driver::IsEnabled(main, id)) << "control " << id;
  }
}

class PanelCounts : public ::testing::TestWithParam<int> {};

TEST_P(PanelCounts, OneLinePerPanelUpToThirty) {
  const int connected = GetParam();
  auto session = StartWithPanelCount(connected);
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  ExpectGenericLines(main, static_cast<std::size_t>(std::min(connected, 30)));
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::ListSelection(main, kList) == 0; }, kTimeoutMs));
  EXPECT_TRUE(driver::IsEnabled(main, 1012));
  EXPECT_FALSE(driver::IsEnabled(main, 1027));
  EXPECT_TRUE(driver::IsChecked(main, 1014));
  EXPECT_TRUE(NoMessageBoxFor(session->program->Id(), 300));
}

INSTANTIATE_TEST_SUITE_P(StartUp, PanelCounts, ::testing::Values(1, 3, 30, 31));

TEST(PanelList, PanelsOfAnotherTypeOrWithoutATypeAreSkippedSilently) {
  driver::LaunchOptions options;
  options.environment.emplace_back(L"PANELCAST_EMU_TYPE_FAILS", L"NOTYPE1");
  auto session = StartWithPanels(L"FIP0001,OTHER01:other,NOTYPE1,FIP0002", true, options);
  ASSERT_TRUE(session);
  ExpectGenericLines(session->mainWindow, 2);
  EXPECT_TRUE(NoMessageBoxFor(session->program->Id(), 500));
}

}  // namespace
}  // namespace shelltest
