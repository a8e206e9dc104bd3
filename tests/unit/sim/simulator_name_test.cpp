#include "sim/simulator_name.h"

#include <gtest/gtest.h>

namespace panelcast {
namespace {

// Beyond the presence tests' names: any ASCII case, and nothing that only looks alike.
TEST(SimulatorName, OnlyTheWholeNameInAnyAsciiCaseMatches) {
  const struct {
    const wchar_t* name;
    bool matches;
  } rows[] = {
      {L"fSx.eXe", true}, {L"FSX.EX", false}, {L"", false}, {nullptr, false}, {L" FSX.EXE", false},
      {L"FSX.EXE ", false}, {L"C:\\FSX\\FSX.EXE", false},
      // Fullwidth letters and the i's some locales fold are other names; so are the characters
      // 32 below '.' and 'F'.
      {L"\xFF26SX.EXE", false}, {L"FSX.\x0131XE", false}, {L"FSX.EX\x00C9", false},
      {L"FSX\x0E" L"EXE", false}, {L"&SX.EXE", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(IsSimulatorExeName(row.name), row.matches) << (row.name ? row.name[0] : 0);
  }
}

}  // namespace
}  // namespace panelcast
