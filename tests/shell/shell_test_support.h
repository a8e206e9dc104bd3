// What the shell's end-to-end tests share: starting the program with panels past its start-up
// notice, the expected message boxes in order, the list box's lines, the library's call log.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

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

// Sets the library path value for the scope of a test and puts the original back afterwards.
class LibraryRegistry {
 public:
  LibraryRegistry();
  ~LibraryRegistry();
  void DeleteKey();
  void DeleteValue();
  void SetPath(const std::wstring& path);

 private:
  std::wstring original_;
  bool hadValue_ = false;
};

}  // namespace shelltest
