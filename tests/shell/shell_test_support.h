// What the end-to-end tests share about a run of the program: starting it with panels past its
// start-up notice, the message boxes in order, the list box's lines, the call log, how it ends.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "base/messages.h"
#include "emulator/control/log_line.h"
#include "resources/resource_ids.h"
#include "tests/driver/call_sequence.h"
#include "tests/driver/driver.h"

namespace shelltest {

inline constexpr DWORD kTimeoutMs = 15000;

inline std::string Narrow(const std::wstring& text) { return {text.begin(), text.end()}; }

struct ExpectedBox {
  std::wstring title, text;
  driver::BoxIcon icon;
  int answer = IDOK;
};

// A message of the program as the user sees it, with the icon its style asks for.
inline ExpectedBox BoxOf(const panelcast::Message& m) {
  const UINT icon = m.style & MB_ICONMASK;
  return {m.title, m.text,
          icon == MB_ICONERROR     ? driver::BoxIcon::Error
          : icon == MB_ICONWARNING ? driver::BoxIcon::Warning
                                   : driver::BoxIcon::Information};
}

// Waits for each box in turn, checks its title, text and icon and answers it.
inline void ExpectBoxes(DWORD pid, const std::vector<ExpectedBox>& boxes) {
  for (const ExpectedBox& expected : boxes) {
    const auto box = driver::AnswerNextMessageBox(pid, expected.answer, kTimeoutMs);
    ASSERT_TRUE(box) << "the box \"" << Narrow(expected.text) << "\" never came";
    EXPECT_EQ(Narrow(box->title + L": " + box->text),
              Narrow(expected.title + L": " + expected.text));
    EXPECT_STREQ(driver::BoxIconName(box->icon), driver::BoxIconName(expected.icon));
  }
}

// No message box of `pid` comes within `waitMs`.
inline bool NoMessageBoxFor(DWORD pid, DWORD waitMs) {
  return !driver::WaitUntil([&] { return !driver::MessageBoxWindows(pid).empty(); }, waitMs);
}

// The program with `panels` (PANELCAST_EMU_PANELS syntax, e.g. "A1,B2:other"), past the notice
// that no serial number could be read when `expectNotice`, with start-up run to its end.
inline std::unique_ptr<driver::PanelSession> StartWithPanels(const std::wstring& panels,
                                                             bool expectNotice = true,
                                                             driver::LaunchOptions options = {}) {
  options.environment.emplace_back(L"PANELCAST_EMU_PANELS", panels);
  auto session = driver::LaunchWithPanels(0, std::move(options), kTimeoutMs);
  if (!session) return nullptr;  // its caller's failure
  const DWORD id = session->program->Id();
  if (expectNotice) ExpectBoxes(id, {BoxOf(panelcast::msg::kHardwareInfoFailed)});
  // Start-up ends by checking the first mode button, after the first line's selection.
  EXPECT_TRUE(driver::WaitUntil(
      [&] { return driver::IsChecked(session->mainWindow, IDC_MODE_CUSTOMIZE); }, kTimeoutMs));
  return session;
}

inline std::wstring SerialList(int count) {  // "EMU0001,EMU0002,..."
  std::wstring list;
  for (int i = 1; i <= count; ++i) {
    wchar_t serial[16];
    swprintf(serial, 16, L"%lsEMU%04d", i > 1 ? L"," : L"", i);
    list += serial;
  }
  return list;
}

inline std::unique_ptr<driver::PanelSession> StartWithPanelCount(int count) {
  return StartWithPanels(SerialList(count), count > 0);
}

inline std::vector<std::wstring> ListLines(HWND mainWindow) {
  std::vector<std::wstring> lines;
  const int count = driver::ListCount(mainWindow, IDC_DEVICE_LIST);
  for (int i = 0; i < count; ++i) lines.push_back(driver::ListLine(mainWindow, IDC_DEVICE_LIST, i));
  return lines;
}

// The names of the logged calls that `keep` accepts, in order.
template <typename Keep>
std::vector<std::string> LoggedNames(const driver::Program& program, Keep keep) {
  std::vector<std::string> names;
  for (const std::string& text : program.LogLines()) {
    const auto line = emu::ParseLogLine(text);
    if (line && keep(line->name)) names.push_back(line->name);
  }
  return names;
}

// How often the call log shows `name` (e.g. "Deinitialize").
inline int CallCount(const driver::Program& program, const std::string& name) {
  const auto named = [&](const std::string& logged) { return logged == name; };
  return static_cast<int>(LoggedNames(program, named).size());
}

inline bool HasNoWindow(DWORD pid) { return !driver::HasTopLevelWindow(pid); }

// The program ends with `exitCode` and no window left, its RemovePage and Deinitialize calls
// being `calls` in this order.
inline void ExpectEnd(driver::Program& program, DWORD exitCode,
                      const std::vector<driver::ExpectedCall>& calls) {
  const auto code = program.WaitForExit(kTimeoutMs);
  ASSERT_TRUE(code.has_value()) << "the program did not end";
  EXPECT_EQ(*code, exitCode);
  EXPECT_TRUE(HasNoWindow(program.Id()));
  const auto ends = [](const std::string& name) {
    return name == "RemovePage" || name == "Deinitialize";
  };
  EXPECT_TRUE(driver::CallsMatch(LoggedNames(program, ends), calls));
}

// One run of the program at a time.
class Shell : public ::testing::Test {
 protected:
  bool Start(const std::wstring& panels, bool expectNotice, driver::LaunchOptions options = {}) {
    session_.reset();
    session_ = StartWithPanels(panels, expectNotice, std::move(options));
    return session_ != nullptr;
  }
  HWND Main() const { return session_->mainWindow; }
  DWORD Pid() const { return session_->program->Id(); }
  emu::PanelControl& Panels() { return *session_->panels; }

  std::unique_ptr<driver::PanelSession> session_;
};

}  // namespace shelltest
