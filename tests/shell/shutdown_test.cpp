// The three ways out: the Exit button, Esc answered Yes, and a close request. Each ends the
// program without a further message, with exit code 0, the library deinitialised exactly once
// and nothing left running. Esc answered No keeps it running.
#include <gtest/gtest.h>

#include "tests/shell/shell_test_support.h"

namespace shelltest {
namespace {

ExpectedBox ExitQuestion(int answer) {
  return {L"Exit", L"Are you sure you want to exit?", driver::BoxIcon::Question, answer};
}

void ExpectCleanEnd(driver::PanelSession& session) {
  const auto exitCode = session.program->WaitForExit(kTimeoutMs);
  ASSERT_TRUE(exitCode.has_value()) << "the program did not end";
  EXPECT_EQ(*exitCode, 0u);
  EXPECT_TRUE(HasNoWindow(session.program->Id()));
  EXPECT_EQ(CallCount(*session.program, "Deinitialize"), 1);
}

TEST(Shutdown, ExitButton) {
  auto session = StartWithPanelCount(2);
  ASSERT_TRUE(session);
  driver::Click(session->mainWindow, 1011);
  EXPECT_TRUE(NoMessageBoxFor(session->program->Id(), 300) || !session->program->Running());
  ExpectCleanEnd(*session);
}

TEST(Shutdown, EscapeAnsweredYes) {
  auto session = StartWithPanelCount(1);
  ASSERT_TRUE(session);
  driver::PressEscape(session->mainWindow);
  ExpectBoxes(session->program->Id(), {ExitQuestion(IDYES)});
  ExpectCleanEnd(*session);
}

TEST(Shutdown, EscapeAnsweredNoKeepsRunning) {
  auto session = StartWithPanelCount(1);
  ASSERT_TRUE(session);
  const HWND main = session->mainWindow;
  driver::PressEscape(main);
  ExpectBoxes(session->program->Id(), {ExitQuestion(IDNO)});
  EXPECT_FALSE(session->program->WaitForExit(500).has_value());
  EXPECT_EQ(driver::FindTopWindow(kMainTitle, session->program->Id()), main);
  // Still working: a new panel shows up in the list.
  ASSERT_TRUE(session->panels->AddPanel("AFTER01"));
  EXPECT_TRUE(driver::WaitUntil([&] { return ListLines(main).size() == 2; }, kTimeoutMs));
  EXPECT_EQ(CallCount(*session->program, "Deinitialize"), 0);
}

TEST(Shutdown, CloseRequestIsNotConfirmed) {
  auto session = StartWithPanelCount(3);
  ASSERT_TRUE(session);
  driver::RequestClose(session->mainWindow);
  ExpectCleanEnd(*session);
}

TEST(Shutdown, WithoutPanels) {
  auto session = StartWithPanelCount(0);
  ASSERT_TRUE(session);
  driver::Click(session->mainWindow, 1011);
  ExpectCleanEnd(*session);
}

}  // namespace
}  // namespace shelltest
