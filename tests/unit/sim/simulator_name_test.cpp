#include "sim/simulator_name.h"

#include <gtest/gtest.h>

namespace panelcast {
namespace {

TEST(SimulatorName, TheNameInAnyAsciiCaseMatches) {
  for (const wchar_t* name : {L"FSX.EXE", L"fsx.exe", L"Fsx.Exe", L"fSx.eXe"}) {
    EXPECT_TRUE(IsSimulatorExeName(name)) << static_cast<int>(name[1]);
  }
}

TEST(SimulatorName, LongerShorterOrOtherNamesDoNotMatch) {
  for (const wchar_t* name : {L"FSX.EXE.bak", L"FSX2.EXE", L"FSX", L"FSX.EX", L"", L" FSX.EXE",
                              L"FSX.EXE ", L"C:\\FSX\\FSX.EXE", L"FSY.EXE", L"FSX_EXE"}) {
    EXPECT_FALSE(IsSimulatorExeName(name));
  }
  EXPECT_FALSE(IsSimulatorExeName(nullptr));
}

TEST(SimulatorName, OnlyAsciiLettersFold) {
  // Fullwidth letters, and the dotless and dotted i's that some locales fold, are other names.
  EXPECT_FALSE(IsSimulatorExeName(L"\xFF26SX.EXE"));
  EXPECT_FALSE(IsSimulatorExeName(L"FSX.\x0131XE"));
  EXPECT_FALSE(IsSimulatorExeName(L"FSX.EX\x00C9"));
  // Characters next to the letters' ranges do not fold onto them.
  EXPECT_FALSE(IsSimulatorExeName(L"FSX\x0E" L"EXE"));  // '.' + 32
  EXPECT_FALSE(IsSimulatorExeName(L"&SX.EXE"));         // 'F' - 32
}

}  // namespace
}  // namespace panelcast
