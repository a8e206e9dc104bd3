#include "tests/shell/shell_test_support.h"

#include <gtest/gtest.h>

#include "emulator/control/log_line.h"

namespace shelltest {
namespace {

constexpr wchar_t kLibraryKey[] = L"SOFTWARE\\Zivovi\\DirectOutput";
constexpr wchar_t kLibraryValue[] = L"DirectOutput";

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

}  // namespace

void ExpectBoxes(DWORD pid, const std::vector<ExpectedBox>& boxes) {
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const ExpectedBox& expected = boxes[i];
    const auto box = driver::WaitForMessageBox(pid, kTimeoutMs);
    if (!box) {
      ADD_FAILURE() << "message box " << i << " (\"" << Narrow(expected.text) << "\") never came";
      return;
    }
    EXPECT_EQ(Narrow(box->title), Narrow(expected.title)) << "box " << i;
    EXPECT_EQ(Narrow(box->text), Narrow(expected.text)) << "box " << i;
    EXPECT_STREQ(driver::BoxIconName(box->icon), driver::BoxIconName(expected.icon)) << "box " << i;
    driver::AnswerMessageBox(box->window, expected.answer);
    EXPECT_TRUE(driver::WaitForWindowGone(box->window, kTimeoutMs)) << "box " << i << " stayed";
  }
}

bool NoMessageBoxFor(DWORD pid, DWORD waitMs) {
  return !driver::WaitUntil([&] { return !driver::MessageBoxWindows(pid).empty(); }, waitMs);
}

ExpectedBox HardwareInfoNotice() {
  return {L"Information",
          L"Getting hardware info for one or more devices failed. Such devices will be shown as "
          L"\"Generic FIP Device\"...",
          driver::BoxIcon::Information};
}

std::unique_ptr<driver::PanelSession> StartWithPanels(const std::wstring& panels, bool expectNotice,
                                                      driver::LaunchOptions options) {
  options.environment.emplace_back(L"PANELCAST_EMU_PANELS", panels);
  auto session = driver::LaunchWithPanels(0, std::move(options), kTimeoutMs);
  if (!session) {
    ADD_FAILURE() << "the program did not start with panels " << Narrow(panels);
    return nullptr;
  }
  if (expectNotice) ExpectBoxes(session->program->Id(), {HardwareInfoNotice()});
  // The last thing start-up does is post the check of the first mode button (after the first
  // line's selection): once it shows, start-up has run to its end.
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::IsChecked(session->mainWindow, 1014); },
                                kTimeoutMs));
  return session;
}

std::unique_ptr<driver::PanelSession> StartWithPanelCount(int count) {
  return StartWithPanels(SerialList(count), count > 0);
}

std::wstring SerialList(int count) {
  std::wstring list;
  for (int i = 1; i <= count; ++i) {
    wchar_t serial[16];
    swprintf(serial, 16, L"EMU%04d", i);
    if (!list.empty()) list += L",";
    list += serial;
  }
  return list;
}

std::vector<std::wstring> ListLines(HWND mainWindow) {
  std::vector<std::wstring> lines;
  const int count = driver::ListCount(mainWindow, 1000);
  for (int i = 0; i < count; ++i) lines.push_back(driver::ListLine(mainWindow, 1000, i));
  return lines;
}

int CallCount(const driver::Program& program, const std::string& name) {
  int count = 0;
  for (const std::string& text : program.LogLines()) {
    const auto line = emu::ParseLogLine(text);
    if (line && line->name == name) ++count;
  }
  return count;
}

bool HasNoWindow(DWORD pid) { return !driver::HasTopLevelWindow(pid); }

LibraryRegistry::LibraryRegistry() {
  wchar_t value[2048] = {};
  DWORD bytes = sizeof(value) - sizeof(wchar_t);
  hadValue_ = RegGetValueW(HKEY_LOCAL_MACHINE, kLibraryKey, kLibraryValue, RRF_RT_REG_SZ, nullptr,
                           value, &bytes) == ERROR_SUCCESS;
  original_ = value;
}

LibraryRegistry::~LibraryRegistry() {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kLibraryKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  if (hadValue_) {
    RegSetValueExW(key, kLibraryValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(original_.c_str()),
                   static_cast<DWORD>((original_.size() + 1) * sizeof(wchar_t)));
  }
  RegCloseKey(key);
}

void LibraryRegistry::DeleteKey() { RegDeleteKeyW(HKEY_LOCAL_MACHINE, kLibraryKey); }

void LibraryRegistry::DeleteValue() {
  RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kLibraryKey, kLibraryValue);
}

void LibraryRegistry::SetPath(const std::wstring& path) {
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, kLibraryKey, kLibraryValue, REG_SZ, path.c_str(),
                  static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
}

}  // namespace shelltest
