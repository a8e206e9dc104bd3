// The simulator presence check inside this process, against copies of the simulator stand-in
// running under various file names. Under Wine the snapshot's first entry is the first process
// the prefix started, which is never one of these.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "sim/simulator_presence.h"
#include "tests/driver/wait.h"
#include "tests/sim/sim_test_support.h"

namespace simtest {
namespace {

bool AnswerBecomes(int32_t expected) {
  return driver::WaitUntil([&] { return panelcast::IsSimulatorRunning() == expected; }, kTimeoutMs);
}

TEST(SimulatorPresence, NothingRunningAnswersZero) { EXPECT_EQ(panelcast::IsSimulatorRunning(), 0); }

class SimulatorNames : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(SimulatorNames, TheNameInAnyLetterCaseCounts) {
  Simulator simulator(GetParam(), true);
  ASSERT_TRUE(simulator.Started());
  EXPECT_EQ(panelcast::IsSimulatorRunning(), 1);
  simulator.Stop();
  EXPECT_TRUE(AnswerBecomes(0)) << "still answers 1 after the simulator ended";
}

INSTANTIATE_TEST_SUITE_P(Presence, SimulatorNames,
                         ::testing::Values(L"FSX.EXE", L"fsx.exe", L"Fsx.Exe"));

class OtherNames : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(OtherNames, ALongerOrShorterNameDoesNot) {
  Simulator other(GetParam(), true);
  ASSERT_TRUE(other.Started());
  EXPECT_EQ(panelcast::IsSimulatorRunning(), 0);
}

INSTANTIATE_TEST_SUITE_P(Presence, OtherNames, ::testing::Values(L"FSX.EXE.bak", L"FSX2.EXE", L"FSX"));

TEST(SimulatorPresence, TwoSimulatorsAnswerAsOne) {
  auto first = std::make_unique<Simulator>(L"FSX.EXE", true);
  auto second = std::make_unique<Simulator>(L"fsx.exe", true);
  ASSERT_TRUE(first->Started());
  ASSERT_TRUE(second->Started());
  EXPECT_EQ(panelcast::IsSimulatorRunning(), 1);
  first.reset();
  EXPECT_EQ(panelcast::IsSimulatorRunning(), 1) << "the second one still runs";
  second.reset();
  EXPECT_TRUE(AnswerBecomes(0));
}

}  // namespace
}  // namespace simtest
