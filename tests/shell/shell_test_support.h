// What the shell's end-to-end tests share: starting the program with panels past its start-up
// notice, the expected message boxes in order, the list box's lines, the library's call log and
// how a run of the program ends.
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

// Waits for each box in turn, checks its title, text and icon, answers it. Fails the test (non
// fatally) for each box that is missing or different.
void ExpectBoxes(DWORD pid, const std::vector<ExpectedBox>& boxes);

// No message box of `pid` comes within `waitMs` (a short look, for "without a message").
bool NoMessageBoxFor(DWORD pid, DWORD waitMs);

// The notice that no serial number was found, which start-up shows while panels are connected
// and no USB identity can be had (as under Wine without USB devices).
ExpectedBox HardwareInfoNotice();

// The program with the given panels (PANELCAST_EMU_PANELS syntax, e.g. "A1,B2:other"), past the
// start-up notice when `expectNotice`, with start-up run to its end.
std::unique_ptr<driver::PanelSession> StartWithPanels(const std::wstring& panels,
                                                      bool expectNotice = true,
                                                      driver::LaunchOptions options = {});
// N panels EMU0001.. as above.
std::unique_ptr<driver::PanelSession> StartWithPanelCount(int count);

// "S1,S2,..." for serials EMU0001..EMU00nn.
std::wstring SerialList(int count);

std::vector<std::wstring> ListLines(HWND mainWindow);

// How often the program called `name` (e.g. "Deinitialize") according to the call log.
int CallCount(const driver::Program& program, const std::string& name);

// True when the process has no top-level window left.
bool HasNoWindow(DWORD pid);

// The program ends within the time-out with `exitCode` and no window left, and its RemovePage
// and Deinitialize calls, each with its answer ("RemovePage ok", "Deinitialize 0x80070006"),
// are `calls` in this order.
void ExpectEnd(driver::Program& program, DWORD exitCode,
               const std::vector<driver::ExpectedCall>& calls);

// The shell's fixture: one run of the program at a time.
class Shell : public ::testing::Test {
 protected:
  // StartWithPanels into session_; false when the program did not come up.
  bool Start(const std::wstring& panels, bool expectNotice, driver::LaunchOptions options = {});
  HWND Main() const { return session_->mainWindow; }
  DWORD Pid() const { return session_->program->Id(); }
  emu::PanelControl& Panels() { return *session_->panels; }
  // Waits until the list holds `lines` lines.
  bool ListHas(std::size_t lines) const;

  std::unique_ptr<driver::PanelSession> session_;
};

}  // namespace shelltest
