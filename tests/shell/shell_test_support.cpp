#include "tests/shell/shell_test_support.h"

#include <cwchar>

#include "base/messages.h"
#include "emulator/control/log_line.h"
#include "resources/resource_ids.h"

namespace shelltest {
namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

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

}  // namespace

void ExpectBoxes(DWORD pid, const std::vector<ExpectedBox>& boxes) {
  for (const ExpectedBox& expected : boxes) {
    const auto box = driver::AnswerNextMessageBox(pid, expected.answer, kTimeoutMs);
    ASSERT_TRUE(box) << "the box \"" << Narrow(expected.text) << "\" never came";
    EXPECT_EQ(Narrow(box->title + L": " + box->text),
              Narrow(expected.title + L": " + expected.text));
    EXPECT_STREQ(driver::BoxIconName(box->icon), driver::BoxIconName(expected.icon));
  }
}

std::unique_ptr<driver::PanelSession> StartWithPanels(const std::wstring& panels, bool expectNotice,
                                                      driver::LaunchOptions options) {
  options.environment.emplace_back(L"PANELCAST_EMU_PANELS", panels);
  auto session = driver::LaunchWithPanels(0, std::move(options), kTimeoutMs);
  if (!session) {
    ADD_FAILURE() << "the program did not start with panels " << Narrow(panels);
    return nullptr;
  }
  const panelcast::Message& notice = panelcast::msg::kHardwareInfoFailed;
  if (expectNotice) {
    ExpectBoxes(session->program->Id(),
                {{notice.title, notice.text, driver::BoxIcon::Information}});
  }
  // Start-up ends by checking the first mode button, after the first line's selection.
  EXPECT_TRUE(driver::WaitUntil(
      [&] { return driver::IsChecked(session->mainWindow, IDC_MODE_CUSTOMIZE); }, kTimeoutMs));
  return session;
}

std::wstring SerialList(int count) {
  std::wstring list;
  for (int i = 1; i <= count; ++i) {
    wchar_t serial[16];
    swprintf(serial, 16, L"%lsEMU%04d", i > 1 ? L"," : L"", i);
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
  return static_cast<int>(LoggedNames(program, [&](const std::string& n) { return n == name; }).size());
}

void ExpectEnd(driver::Program& program, DWORD exitCode,
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

}  // namespace shelltest
