// Panels arriving and leaving while the program runs: the list follows, the first line is
// highlighted, and panels that cannot be taken are reported.
#include <gtest/gtest.h>

#include "tests/shell/shell_test_support.h"

namespace shelltest {
namespace {

constexpr int kList = 1000;

bool ListHas(HWND main, std::size_t lines) {
  return driver::WaitUntil([&] { return ListLines(main).size() == lines; }, kTimeoutMs);
}

TEST(Hotplug, ArrivingPanelIsListedAndTheFirstLineHighlighted) {
  auto session = StartWithPanelCount(2);
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  driver::SelectListLine(main, kList, 1);
  ASSERT_TRUE(driver::WaitUntil([&] { return driver::ListSelection(main, kList) == 1; }, kTimeoutMs));

  ASSERT_TRUE(session->panels->AddPanel("NEW0001"));
  ASSERT_TRUE(ListHas(main, 3));
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::ListSelection(main, kList) == 0; }, kTimeoutMs));
  for (const auto& line : ListLines(main)) EXPECT_EQ(line, L"Generic FIP Device");
  EXPECT_TRUE(NoMessageBoxFor(session->program->Id(), 500));
  EXPECT_TRUE(driver::IsEnabled(main, 1012));
}

TEST(Hotplug, ArrivalOfAnotherTypeIsReportedAndNotListed) {
  auto session = StartWithPanelCount(1);
  ASSERT_TRUE(session);
  ASSERT_TRUE(session->panels->AddPanel("OTHER01", "other"));
  ExpectBoxes(session->program->Id(),
              {{L"Notice", L"The newly added device is not FIP, so it won't be added to the list...",
                driver::BoxIcon::Information}});
  EXPECT_EQ(ListLines(session->mainWindow).size(), 1u);
}

TEST(Hotplug, ArrivalWhoseTypeCannotBeReadIsReportedAndNotListed) {
  driver::LaunchOptions options;
  options.environment.emplace_back(L"PANELCAST_EMU_TYPE_FAILS", L"BROKEN1");
  auto session = StartWithPanels(L"FIP0001", true, options);
  ASSERT_TRUE(session);
  ASSERT_TRUE(session->panels->AddPanel("BROKEN1"));
  ExpectBoxes(session->program->Id(),
              {{L"Error", L"Failed to get device type. This device will not be added to the list...",
                driver::BoxIcon::Warning}});
  EXPECT_EQ(ListLines(session->mainWindow).size(), 1u);
}

TEST(Hotplug, ThirtyFirstArrivalIsNotListed) {
  auto session = StartWithPanelCount(30);
  ASSERT_TRUE(session);
  ASSERT_TRUE(session->panels->AddPanel("EXTRA31"));
  EXPECT_TRUE(NoMessageBoxFor(session->program->Id(), 500));
  EXPECT_EQ(ListLines(session->mainWindow).size(), 30u);
}

TEST(Hotplug, RemovingAListedPanelClosesTheGap) {
  auto session = StartWithPanelCount(3);
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  driver::SelectListLine(main, kList, 2);
  ASSERT_TRUE(session->panels->RemovePanel("EMU0002"));
  ASSERT_TRUE(ListHas(main, 2));
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::ListSelection(main, kList) == 0; }, kTimeoutMs));
  EXPECT_TRUE(NoMessageBoxFor(session->program->Id(), 300));
  // The other panels are still the program's: removing them empties the list.
  ASSERT_TRUE(session->panels->RemovePanel("EMU0003"));
  ASSERT_TRUE(session->panels->RemovePanel("EMU0001"));
  EXPECT_TRUE(ListHas(main, 0));
}

TEST(Hotplug, RemovingTheOnlyPanelLeavesAnEmptyGreyedList) {
  auto session = StartWithPanelCount(1);
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  ASSERT_TRUE(session->panels->RemovePanel("EMU0001"));
  ASSERT_TRUE(ListHas(main, 0));
  EXPECT_EQ(driver::ListSelection(main, kList), LB_ERR);
  EXPECT_TRUE(driver::WaitUntil([&] { return !driver::IsEnabled(main, 1013); }, kTimeoutMs));
  EXPECT_FALSE(driver::IsEnabled(main, 1012));
  EXPECT_FALSE(driver::IsEnabled(main, 1027));
  EXPECT_TRUE(driver::IsEnabled(main, 1009));
  EXPECT_TRUE(NoMessageBoxFor(session->program->Id(), 300));

  // A panel arriving again brings the window back.
  ASSERT_TRUE(session->panels->AddPanel("BACK001"));
  ASSERT_TRUE(ListHas(main, 1));
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::IsEnabled(main, 1012); }, kTimeoutMs));
}

TEST(Hotplug, RemovingAPanelTheProgramDoesNotKnowChangesNothing) {
  auto session = StartWithPanels(L"FIP0001,OTHER01:other,FIP0002");
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  ASSERT_TRUE(session->panels->RemovePanel("OTHER01"));
  // The list is rebuilt by nothing; give the notification time to arrive, then look.
  ASSERT_TRUE(session->panels->AddPanel("FIP0003"));
  ASSERT_TRUE(ListHas(main, 3));
  EXPECT_TRUE(NoMessageBoxFor(session->program->Id(), 300));
}

}  // namespace
}  // namespace shelltest
