#include "sim/simulator_name.h"

namespace panelcast {
namespace {

constexpr wchar_t kSimulatorExe[] = L"FSX.EXE";

// Only A to Z fold: a locale's idea of case must not make another name match.
wchar_t FoldAscii(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; }

}  // namespace

bool IsSimulatorExeName(const wchar_t* exeName) {
  if (!exeName) return false;
  const wchar_t* expected = kSimulatorExe;
  for (; *expected; ++expected, ++exeName) {
    if (FoldAscii(*exeName) != *expected) return false;  // a shorter name stops here at its end
  }
  return *exeName == L'\0';
}

}  // namespace panelcast
