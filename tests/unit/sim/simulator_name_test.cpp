#include "sim/simulator_name.h"

#include <gtest/gtest.h>

namespace panelcast {
namespace {

// Beyond the presence tests' names: any ASCII case, and nothing that only looks alike.
TEST(SimulatorName, OnlyTheWholeNameInAnyAsciiCaseMatches) {
  EXPECT_TRUE(IsSimulatorExeName(L"fSx.eXe"));
  EXPECT_FALSE(IsSimulatorExeName(nullptr));
  // Fullwidth letters and the i's some locales fold are other names; so are the characters
  // 32 below '.' and 'F'.
  for (const wchar_t* name : {L"FSX.EX", L"", L" FSX.EXE", L"FSX.EXE ", L"C:\\FSX\\FSX.EXE",
                              L"\xFF26SX.EXE", L"FSX.\x0131XE", L"FSX.EX\x00C9", L"FSX\x0E" L"EXE",
                              L"&SX.EXE"}) {
    EXPECT_FALSE(IsSimulatorExeName(name)) << name;
  }
}

}  // namespace
}  // namespace panelcast
