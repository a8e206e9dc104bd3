// Start-up failures: each shows its messages in order and the program ends with exit code 0 and no
// window left, deinitialising the library only when it initialised it.
#include <gtest/gtest.h>

#include "tests/shell/shell_test_support.h"

namespace shelltest {
namespace {

constexpr wchar_t kKey[] = L"SOFTWARE\\Zivovi\\DirectOutput";
constexpr wchar_t kValue[] = L"DirectOutput";
constexpr int kKeepValue = -1, kNoKey = -2, kNoValue = -3;

// The library path value for one row; the original comes back afterwards.
class LibraryValue {
 public:
  LibraryValue(int type, const std::wstring& data) {
    DWORD bytes = sizeof(original_) - sizeof(wchar_t);
    hadValue_ = RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_SZ, nullptr, original_,
                             &bytes) == ERROR_SUCCESS;
    if (type == kNoKey) (void)RegDeleteKeyW(HKEY_LOCAL_MACHINE, kKey);
    if (type == kNoValue) (void)RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kKey, kValue);
    if (type >= 0) {
      EXPECT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, kValue, type, data.data(),
                                static_cast<DWORD>(data.size() * sizeof(wchar_t))),
                ERROR_SUCCESS);
    }
  }
  ~LibraryValue() {
    if (!hadValue_) return;
    (void)RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, kValue, REG_SZ, original_,
                          static_cast<DWORD>((wcslen(original_) + 1) * sizeof(wchar_t)));
  }

 private:
  wchar_t original_[2048] = {};
  bool hadValue_ = false;
};

std::wstring Terminated(const wchar_t* text) { return std::wstring(text) + L'\0'; }

struct Failure {
  const char* name;
  int type;               // kKeepValue, kNoKey, kNoValue, or the type `value` is stored as
  std::wstring value;     // stored as it is, with no terminator added
  const wchar_t* faults;  // PANELCAST_EMU_FAULTS
  std::vector<std::wstring> errors;  // the texts of the "Error" boxes, in order
  std::vector<driver::ExpectedCall> calls;  // see ExpectEnd
  bool otherViewFilled = false;      // needs the other registry view to hold a path
};

const wchar_t kKeyFailed[] =
    L"Failed to open DirectOutput DLL key in the Registry. The program will now exit...";
const wchar_t kNameFailed[] =
    L"Failed to read the name of DirectOutput DLL. The program will now exit...";
const wchar_t kLoadFailed[] = L"Failed to load the DirectOutput DLL. The program will now exit...";

TEST(StartupFailures, EachShowsItsMessagesAndEndsCleanly) {
  const Failure failures[] = {
      {"no key", kNoKey, L"", L"", {kKeyFailed, kNameFailed}, {}},
      {"no value", kNoValue, L"", L"", {kNameFailed}, {}},
      // A 64-bit system keeps the key in two views, each written by the library's installer of
      // that bitness, and the rig fills both: the other view's value is not taken instead.
      {"no value in the program's view", kNoValue, L"", L"", {kNameFailed}, {}, true},
      {"a path that does not load",
       REG_SZ,
       Terminated(L"C:\\no such folder\\DirectOutput.dll"),
       L"",
       {kLoadFailed},
       {}},
      // A DLL that loads but has none of the entry points is refused, not called.
      {"another DLL",
       REG_SZ,
       Terminated(L"C:\\windows\\system32\\version.dll"),
       L"",
       {kLoadFailed},
       {}},
      // Read bounded, so it names no file.
      {"4096 bytes without a terminator",
       REG_BINARY,
       std::wstring(2048, L'A'),
       L"",
       {kLoadFailed},
       {}},
      {"longer than a path", REG_SZ, std::wstring(3000, L'A'), L"", {kNameFailed}, {}},
      {"Initialize refused",
       kKeepValue,
       L"",
       L"Initialize=0x80004005",
       {L"Failed to initialize DirectOutput. The program will now exit..."},
       {}},
      {"device callback refused",
       kKeepValue,
       L"",
       L"RegisterDeviceCallback=0x80004005",
       {L"Failed to register DirectOutput callback. The program will now exit..."},
       {"Deinitialize ok"}},
      {"enumeration refused",
       kKeepValue,
       L"",
       L"Enumerate=0x80004005",
       {L"Failed to enumerate FIP devices. The program will now exit..."},
       {"Deinitialize ok"}},
  };
  for (const Failure& failure : failures) {
    SCOPED_TRACE(failure.name);
    if (failure.otherViewFilled) {
      if (!driver::On64BitSystem()) continue;  // a 32-bit system has one view
      const REGSAM other = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
      HKEY key = nullptr;
      ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ | other, &key), ERROR_SUCCESS);
      const LSTATUS read = RegQueryValueExW(key, kValue, nullptr, nullptr, nullptr, nullptr);
      RegCloseKey(key);
      ASSERT_EQ(read, ERROR_SUCCESS) << "the other view holds no library path";
    }
    LibraryValue value(failure.type, failure.value);
    driver::LaunchOptions options;
    options.environment = {{L"PANELCAST_EMU_COUNT", L"2"}};
    if (*failure.faults) options.environment.emplace_back(L"PANELCAST_EMU_FAULTS", failure.faults);
    driver::Program program(std::move(options));
    ASSERT_TRUE(program.Started()) << "CreateProcess error " << program.StartError();
    std::vector<ExpectedBox> boxes;
    for (const std::wstring& text : failure.errors) {
      boxes.push_back({L"Error", text, driver::BoxIcon::Error});
    }
    ExpectBoxes(program.Id(), boxes);
    ExpectEnd(program, 0, failure.calls);
  }
}

}  // namespace
}  // namespace shelltest
