// One copy at a time: a second copy says so and ends with exit code 1; the first goes on working.
#include <gtest/gtest.h>

#include "tests/shell/shell_test_support.h"

namespace shelltest {
namespace {

TEST(SingleInstance, SecondCopyRefusesAndTheFirstKeepsWorking) {
  auto first = StartWithPanelCount(2);
  ASSERT_TRUE(first);
  const HWND main = first->mainWindow;
  ASSERT_EQ(ListLines(main).size(), 2u);

  driver::Program second;
  ASSERT_TRUE(second.Started());
  ExpectBoxes(second.Id(),
              {{L"Information",
                L"The program is already running. Only one copy of the program can be active at "
                L"any given moment...",
                driver::BoxIcon::Information}});
  const auto secondExit = second.WaitForExit(kTimeoutMs);
  ASSERT_TRUE(secondExit.has_value());
  EXPECT_EQ(*secondExit, 1u);
  EXPECT_EQ(CallCount(second, "Initialize"), 0) << "the second copy must not touch the library";

  // The first copy is untouched: same window, same panels, it still answers the panels and quits.
  EXPECT_TRUE(first->program->Running());
  EXPECT_EQ(driver::FindTopWindow(kMainTitle), main);
  ASSERT_TRUE(first->panels->AddPanel("LATE01"));
  EXPECT_TRUE(driver::WaitUntil([&] { return ListLines(main).size() == 3; }, kTimeoutMs));
  driver::Click(main, 1011);
  const auto firstExit = first->program->WaitForExit(kTimeoutMs);
  ASSERT_TRUE(firstExit.has_value());
  EXPECT_EQ(*firstExit, 0u);
}

}  // namespace
}  // namespace shelltest
