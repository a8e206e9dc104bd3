// The simulator presence check inside this process, against copies of the simulator stand-in
// running under various file names. Under Wine the snapshot's first entry is the first process
// the prefix started, which is never one of these.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "sim/simulator_presence.h"
#include "tests/sim/sim_test_support.h"

namespace simtest {
namespace {

TEST(SimulatorPresence, AnswersForTheNamesRunningAndAfterTheFirstEnds) {
  const struct {
    std::vector<const wchar_t*> running;
    int32_t answer;
    int32_t afterTheFirstEnds;
  } rows[] = {
      {{}, 0, 0},
      {{L"FSX.EXE"}, 1, 0},
      {{L"fsx.exe"}, 1, 0},
      {{L"Fsx.Exe"}, 1, 0},
      {{L"FSX.EXE.bak"}, 0, 0},
      {{L"FSX2.EXE"}, 0, 0},
      {{L"FSX"}, 0, 0},
      {{L"FSX.EXE", L"fsx.exe"}, 1, 1},  // two answer as one
      {{L"FSX.EXE", L"FSX2.EXE"}, 1, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.running.empty() ? L"none" : row.running[0]);
    std::vector<std::unique_ptr<Simulator>> simulators;
    for (const wchar_t* name : row.running) {
      simulators.push_back(std::make_unique<Simulator>(name, true));
      ASSERT_TRUE(simulators.back()->Started());
    }
    EXPECT_EQ(panelcast::IsSimulatorRunning(), row.answer);
    if (!simulators.empty()) simulators.front()->Stop();
    EXPECT_TRUE(driver::WaitUntil(
        [&] { return panelcast::IsSimulatorRunning() == row.afterTheFirstEnds; }, kTimeoutMs));
  }
}

}  // namespace
}  // namespace simtest
