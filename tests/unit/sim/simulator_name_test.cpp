#include "sim/simulator_name.h"

#include <gtest/gtest.h>

namespace panelcast {
namespace {

TEST(SimulatorName, OnlyTheWholeNameInAnyAsciiCaseMatches) {
  const struct {
    const wchar_t* name;
    bool matches;
  } rows[] = {
      {L"FSX.EXE", true}, {L"fsx.exe", true}, {L"Fsx.Exe", true}, {L"fSx.eXe", true},
      {L"FSX.EXE.bak", false}, {L"FSX2.EXE", false}, {L"FSX", false}, {L"FSX.EX", false},
      {L"", false}, {L" FSX.EXE", false}, {L"FSX.EXE ", false}, {L"C:\\FSX\\FSX.EXE", false},
      {L"FSY.EXE", false}, {L"FSX_EXE", false}, {nullptr, false},
      // Fullwidth letters and the i's some locales fold are other names; so are the characters
      // 32 away from the letters ('.' + 32, 'F' - 32).
      {L"\xFF26SX.EXE", false}, {L"FSX.\x0131XE", false}, {L"FSX.EX\x00C9", false},
      {L"FSX\x0E" L"EXE", false}, {L"&SX.EXE", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(IsSimulatorExeName(row.name), row.matches) << (row.name ? row.name[0] : 0);
  }
}

}  // namespace
}  // namespace panelcast
