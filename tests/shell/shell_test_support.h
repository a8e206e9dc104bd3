// What the end-to-end tests share about a run of the program: starting it with panels past its
// start-up notice, the message boxes in order, the list box's lines, the call log, how it ends.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/driver/call_sequence.h"
#include "tests/driver/driver.h"

namespace shelltest {

inline constexpr wchar_t kMainTitle[] = L"Zivovi Panelcast";
inline constexpr DWORD kTimeoutMs = 15000;

struct ExpectedBox {
  std::wstring title;
  std::wstring text;
  driver::BoxIcon icon;
  int answer = IDOK;
};

// Waits for each box in turn, checks its title, text and icon and answers it.
void ExpectBoxes(DWORD pid, const std::vector<ExpectedBox>& boxes);
// No message box of `pid` comes within `waitMs`.
inline bool NoMessageBoxFor(DWORD pid, DWORD waitMs) {
  return !driver::WaitUntil([&] { return !driver::MessageBoxWindows(pid).empty(); }, waitMs);
}

// The program with `panels` (PANELCAST_EMU_PANELS syntax, e.g. "A1,B2:other"), past the notice
// that no serial number could be read when `expectNotice`, with start-up run to its end.
std::unique_ptr<driver::PanelSession> StartWithPanels(const std::wstring& panels,
                                                      bool expectNotice = true,
                                                      driver::LaunchOptions options = {});
std::wstring SerialList(int count);  // "EMU0001,EMU0002,..."
inline std::unique_ptr<driver::PanelSession> StartWithPanelCount(int count) {
  return StartWithPanels(SerialList(count), count > 0);
}

std::vector<std::wstring> ListLines(HWND mainWindow);
// How often the call log shows `name` (e.g. "Deinitialize").
int CallCount(const driver::Program& program, const std::string& name);
inline bool HasNoWindow(DWORD pid) { return !driver::HasTopLevelWindow(pid); }
// The program ends with `exitCode` and no window left, its RemovePage and Deinitialize calls
// being `calls` in this order.
void ExpectEnd(driver::Program& program, DWORD exitCode,
               const std::vector<driver::ExpectedCall>& calls);

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
