// Start-up failures: each shows its messages in order and the program ends with exit code 0 and no
// window left, deinitialising the library only when it initialised it.
#include <gtest/gtest.h>

#include "tests/shell/shell_test_support.h"

namespace shelltest {
namespace {

namespace msg = panelcast::msg;

constexpr wchar_t kKey[] = L"SOFTWARE\\Zivovi\\DirectOutput";
constexpr wchar_t kValue[] = L"DirectOutput";
// Rows that write no value: the rig's path kept, no key, no value.
constexpr int kRigPath = -1, kNoKey = -2, kNoValue = -3;

std::wstring Sz(const wchar_t* text) { return std::wstring(text) + L'\0'; }

struct Failure {
  const char* name;
  int type;               // one of the above, or the type `value` is stored as
  std::wstring value;     // stored as it is, with no terminator added
  const wchar_t* faults;  // PANELCAST_EMU_FAULTS
  std::vector<panelcast::Message> errors;   // in order
  std::vector<driver::ExpectedCall> calls;  // see ExpectEnd
};

TEST(StartupFailures, EachShowsItsMessagesAndEndsCleanly) {
  const Failure failures[] = {
      {"no key", kNoKey, L"", L"", {msg::kRegistryKeyFailed, msg::kLibraryNameFailed}, {}},
      {"no value", kNoValue, L"", L"", {msg::kLibraryNameFailed}, {}},
      {"a path that does not load", REG_SZ, Sz(L"C:\\no such folder\\DirectOutput.dll"), L"",
       {msg::kLibraryLoadFailed}, {}},
      // A DLL that loads but has none of the entry points is refused, not called.
      {"another DLL", REG_SZ, Sz(L"C:\\windows\\system32\\version.dll"), L"",
       {msg::kLibraryLoadFailed}, {}},
      // Read bounded, so it names no file.
      {"4096 bytes without a terminator", REG_BINARY, std::wstring(2048, L'A'), L"",
       {msg::kLibraryLoadFailed}, {}},
      {"longer than a path", REG_SZ, std::wstring(3000, L'A'), L"", {msg::kLibraryNameFailed}, {}},
      {"Initialize refused", kRigPath, L"", L"Initialize=0x80004005", {msg::kInitializeFailed}, {}},
      {"device callback refused", kRigPath, L"", L"RegisterDeviceCallback=0x80004005",
       {msg::kRegisterCallbackFailed}, {"Deinitialize"}},
      {"enumeration refused", kRigPath, L"", L"Enumerate=0x80004005", {msg::kEnumerateFailed},
       {"Deinitialize"}},
  };
  struct RigPath {  // written back at every row's start and when the test ends, however it ends
    wchar_t path[MAX_PATH] = {};
    DWORD bytes = sizeof(path);
    LSTATUS Write() const {
      return RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, kValue, REG_SZ, path, bytes);
    }
    ~RigPath() { (void)Write(); }
  } rig;
  ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_SZ, nullptr, rig.path,
                         &rig.bytes),
            ERROR_SUCCESS);
  for (const Failure& failure : failures) {
    SCOPED_TRACE(failure.name);
    ASSERT_EQ(rig.Write(), ERROR_SUCCESS);
    if (failure.type == kNoKey) (void)RegDeleteKeyW(HKEY_LOCAL_MACHINE, kKey);
    if (failure.type == kNoValue) (void)RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kKey, kValue);
    if (failure.type >= 0) {
      ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, kValue, failure.type,
                                failure.value.data(),
                                static_cast<DWORD>(failure.value.size() * sizeof(wchar_t))),
                0);
    }
    driver::LaunchOptions options;
    options.environment = {{L"PANELCAST_EMU_COUNT", L"2"}};
    if (*failure.faults) options.environment.emplace_back(L"PANELCAST_EMU_FAULTS", failure.faults);
    driver::Program program(std::move(options));
    ASSERT_TRUE(program.Started()) << "CreateProcess error " << program.StartError();
    std::vector<ExpectedBox> boxes;
    for (const auto& error : failure.errors) {
      boxes.push_back({error.title, error.text, driver::BoxIcon::Error});
    }
    ExpectBoxes(program.Id(), boxes);
    ExpectEnd(program, 0, failure.calls);
  }
}

}  // namespace
}  // namespace shelltest
