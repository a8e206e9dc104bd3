// START of the two simulator tools while no simulator runs: one notice owned by the main window,
// nothing on the panel, and the slot free again about a second after the notice is closed.
#include <gtest/gtest.h>

#include "tests/shell/shell_test_support.h"
#include "tests/sim/sim_test_support.h"

namespace simtest {
namespace {

constexpr wchar_t kNotice[] =
    L"Microsoft Flight Simulator X is not started. Please start the simulator before making "
    L"selection...";

class SimulatorAbsent : public ::testing::TestWithParam<int> {};

TEST_P(SimulatorAbsent, OneNoticeNothingOnThePanelAndTheSlotFreeAgain) {
  auto session = StartProgram();
  ASSERT_TRUE(session);
  const std::size_t callsBefore = PanelCallCount(session->control());
  ASSERT_TRUE(StartTool(*session, GetParam(), {100, 100, 420, 340}));

  const auto box = driver::WaitForMessageBox(session->pid(), kTimeoutMs);
  ASSERT_TRUE(box) << "no notice";
  EXPECT_EQ(box->title, L"Notice");
  EXPECT_EQ(box->text, kNotice);
  EXPECT_EQ(box->icon, driver::BoxIcon::Information);
  EXPECT_EQ(GetWindow(box->window, GW_OWNER), session->main());
  // While it is open the tool counts as running.
  EXPECT_TRUE(driver::IsEnabled(session->main(), kStop));
  EXPECT_FALSE(driver::IsEnabled(session->main(), kStart));

  driver::AnswerMessageBox(box->window, IDOK);
  ASSERT_TRUE(driver::WaitForWindowGone(box->window, kTimeoutMs));
  const DWORD closed = GetTickCount();
  // The watcher's return of the slot enables START and then disables STOP: wait for both.
  ASSERT_TRUE(driver::WaitUntil(
      [&] {
        return driver::IsEnabled(session->main(), kStart) &&
               !driver::IsEnabled(session->main(), kStop);
      },
      5000));
  const DWORD freedAfter = GetTickCount() - closed;
  EXPECT_LE(freedAfter, 1600u) << "the watcher looks once a second";

  EXPECT_EQ(PanelCalls(session->control(), callsBefore), std::vector<std::string>{})
      << "nothing registered, added, shown or lit";
  EXPECT_TRUE(shelltest::NoMessageBoxFor(session->pid(), 300)) << "one notice only";
}

INSTANTIATE_TEST_SUITE_P(SimulatorTools, SimulatorAbsent, ::testing::Values(kModeGps, kModeLiveView),
                         [](const auto& info) {
                           return std::string(info.param == kModeGps ? "GpsGauge" : "LiveView");
                         });

}  // namespace
}  // namespace simtest
