#include "tests/shell/shell_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "emulator/control/log_line.h"
#include "resources/resource_ids.h"

namespace shelltest {
namespace {

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
  EXPECT_TRUE(driver::WaitUntil(
      [&] { return driver::IsChecked(session->mainWindow, IDC_MODE_CUSTOMIZE); }, kTimeoutMs));
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
  const int count = driver::ListCount(mainWindow, IDC_DEVICE_LIST);
  for (int i = 0; i < count; ++i) lines.push_back(driver::ListLine(mainWindow, IDC_DEVICE_LIST, i));
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

void ExpectEnd(driver::Program& program, DWORD exitCode,
               const std::vector<driver::ExpectedCall>& calls) {
  const auto code = program.WaitForExit(kTimeoutMs);
  ASSERT_TRUE(code.has_value()) << "the program did not end";
  EXPECT_EQ(*code, exitCode);
  EXPECT_TRUE(HasNoWindow(program.Id()));
  std::vector<std::string> made;
  for (const std::string& text : program.LogLines()) {
    const auto line = emu::ParseLogLine(text);
    if (!line || (line->name != "RemovePage" && line->name != "Deinitialize")) continue;
    char answer[16] = "ok";
    if (line->result != 0) std::snprintf(answer, sizeof(answer), "0x%08X", line->result);
    made.push_back(line->name + " " + answer);
  }
  EXPECT_TRUE(driver::CallsMatch(made, calls));
}

bool Shell::Start(const std::wstring& panels, bool expectNotice, driver::LaunchOptions options) {
  session_.reset();  // one copy at a time
  session_ = StartWithPanels(panels, expectNotice, std::move(options));
  return session_ != nullptr;
}

bool Shell::ListHas(std::size_t lines) const {
  return driver::WaitUntil([&] { return ListLines(Main()).size() == lines; }, kTimeoutMs);
}

}  // namespace shelltest
