// Start-up failures: each shows its messages in order, owned by the main window, and the program
// ends with exit code 0 and no window left, deinitialising the library only when it initialised.
#include <gtest/gtest.h>

#include "tests/shell/shell_test_support.h"

namespace shelltest {
namespace {

ExpectedBox Fatal(const wchar_t* text) { return {L"Error", text, driver::BoxIcon::Error}; }

const wchar_t kKeyFailed[] =
    L"Failed to open DirectOutput DLL key in the Registry. The program will now exit...";
const wchar_t kNameFailed[] = L"Failed to read the name of DirectOutput DLL. The program will now exit...";
const wchar_t kLoadFailed[] = L"Failed to load the DirectOutput DLL. The program will now exit...";

// Runs the program, expects exactly `boxes`, then a clean end.
void ExpectFailedStart(driver::LaunchOptions options, const std::vector<ExpectedBox>& boxes,
                       int deinitializeCalls) {
  options.environment.emplace_back(L"PANELCAST_EMU_COUNT", L"2");
  driver::Program program(std::move(options));
  ASSERT_TRUE(program.Started()) << "CreateProcess error " << program.StartError();
  ExpectBoxes(program.Id(), boxes);
  const auto exitCode = program.WaitForExit(kTimeoutMs);
  ASSERT_TRUE(exitCode.has_value()) << "the program kept running after its last message";
  EXPECT_EQ(*exitCode, 0u);
  EXPECT_TRUE(HasNoWindow(program.Id()));
  EXPECT_EQ(CallCount(program, "Deinitialize"), deinitializeCalls);
}

TEST(StartupFailures, MissingRegistryKeyTellsOfTheKeyThenOfTheName) {
  LibraryRegistry registry;
  registry.DeleteKey();
  ExpectFailedStart({}, {Fatal(kKeyFailed), Fatal(kNameFailed)}, 0);
}

TEST(StartupFailures, MissingValueTellsOnlyOfTheName) {
  LibraryRegistry registry;
  registry.DeleteValue();
  ExpectFailedStart({}, {Fatal(kNameFailed)}, 0);
}

TEST(StartupFailures, PathThatDoesNotLoad) {
  LibraryRegistry registry;
  registry.SetPath(L"C:\\no such folder\\DirectOutput.dll");
  ExpectFailedStart({}, {Fatal(kLoadFailed)}, 0);
}

TEST(StartupFailures, LibraryWithoutTheEntryPointsIsNotCalled) {
  // A DLL that loads but is not the panel library: refused like one that does not load, instead
  // of calling through missing entry points.
  LibraryRegistry registry;
  registry.SetPath(L"C:\\windows\\system32\\version.dll");
  ExpectFailedStart({}, {Fatal(kLoadFailed)}, 0);
}

TEST(StartupFailures, LibraryPathComesOnlyFromTheViewOfTheProgramsBitness) {
  // A 64-bit system keeps the key in two views, one for 32-bit and one for 64-bit programs,
  // each written by the library's installer of that bitness. The test rig fills both, so with
  // the program's own value gone the other view's must not be taken in its place.
  if (!driver::On64BitSystem()) GTEST_SKIP() << "a 32-bit system has a single registry view";
  const REGSAM otherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  HKEY other = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Zivovi\\DirectOutput", 0,
                          KEY_READ | otherView, &other), ERROR_SUCCESS);
  const LSTATUS otherValue = RegQueryValueExW(other, L"DirectOutput", nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(other);
  ASSERT_EQ(otherValue, ERROR_SUCCESS) << "the other view holds no library path";
  LibraryRegistry registry;
  registry.DeleteValue();
  ExpectFailedStart({}, {Fatal(kNameFailed)}, 0);
}

// Stores `bytes` bytes of one letter, with no terminator, as the library path value.
void SetRawLibraryValue(DWORD type, std::size_t bytes) {
  const std::vector<BYTE> value(bytes, 'A');
  ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Zivovi\\DirectOutput", L"DirectOutput",
                            type, value.data(), static_cast<DWORD>(value.size())),
            ERROR_SUCCESS);
}

TEST(StartupFailures, UnterminatedValueOfAnyTypeIsReadBoundedAndFailsToLoad) {
  // 4096 bytes of text with no terminator, stored as binary: a bounded path that no file has.
  LibraryRegistry registry;
  SetRawLibraryValue(REG_BINARY, 4096);
  ExpectFailedStart({}, {Fatal(kLoadFailed)}, 0);
}

TEST(StartupFailures, ValueLongerThanAPathIsNotRead) {
  LibraryRegistry registry;
  SetRawLibraryValue(REG_SZ, 6000);
  ExpectFailedStart({}, {Fatal(kNameFailed)}, 0);
}

TEST(StartupFailures, InitializeRefusedEndsWithoutDeinitializing) {
  driver::LaunchOptions options;
  options.environment.emplace_back(L"PANELCAST_EMU_FAULTS", L"Initialize=0x80004005");
  ExpectFailedStart(options,
                    {Fatal(L"Failed to initialize DirectOutput. The program will now exit...")}, 0);
}

TEST(StartupFailures, DeviceCallbackRefusedDeinitializesOnce) {
  driver::LaunchOptions options;
  options.environment.emplace_back(L"PANELCAST_EMU_FAULTS", L"RegisterDeviceCallback=0x80004005");
  ExpectFailedStart(
      options, {Fatal(L"Failed to register DirectOutput callback. The program will now exit...")}, 1);
}

TEST(StartupFailures, EnumerationRefusedDeinitializesOnce) {
  driver::LaunchOptions options;
  options.environment.emplace_back(L"PANELCAST_EMU_FAULTS", L"Enumerate=0x80004005");
  ExpectFailedStart(options,
                    {Fatal(L"Failed to enumerate FIP devices. The program will now exit...")}, 1);
}

}  // namespace
}  // namespace shelltest
