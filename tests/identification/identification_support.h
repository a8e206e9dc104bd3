// What the identification tests share: the program with the setupapi stand-in and emulated
// panels, the registry's list of the composite-device service, the hardware-details switch
// through the panel list's context menu, and the Device Information dialog.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/driver/driver.h"

namespace idtest {

inline constexpr DWORD kTimeoutMs = 15000;
inline constexpr int kPanelList = 1000;
inline constexpr wchar_t kGeneric[] = L"Generic FIP Device";

using Environment = std::vector<std::pair<std::wstring, std::wstring>>;

// bin/usb/Panelcast.exe with the panels `panels` ("A1,B2"), the stand-in's settings `usb`
// (PANELCAST_EMU_USB_... variables) and the start-up notice answered when `expectNotice`; the
// list is filled when this returns. Fails the test (and returns null) when the program does not
// come up, or when the notice does or does not come against the expectation.
std::unique_ptr<driver::PanelSession> Start(const std::wstring& panels, bool expectNotice,
                                            Environment usb = {});

// The interface path the stand-in makes for a serial number.
std::wstring PanelPath(const std::wstring& serial);
// "USB\VID_06A3&PID_A2AE\<serial>", as the service lists a panel.
std::wstring PanelInstance(const std::wstring& serial);

std::vector<std::wstring> ListLines(HWND mainWindow);
std::wstring SerialLine(const std::wstring& serial);  // "FIP Device (S/N: <serial>)"

// The context menu over the panel list, opened as the keyboard's context-menu key does; null
// when it did not open.
HWND OpenContextMenu(const driver::PanelSession& session);
// Waits until the open menu shows its item's text (dark pixels) and returns how it looks.
driver::Picture PaintedMenu(HWND menu);
// Opens the menu and chooses "Show hardware details", turning the switch on (or off); true once a
// double-click on line 0 opens the report (or, for off, does not), which only the switch decides.
bool ChooseShowHardwareDetails(const driver::PanelSession& session, bool turnOn = true);

// Selects line `line` and double-clicks it; the Device Information dialog, or null.
HWND OpenReport(const driver::PanelSession& session, int line);
std::wstring ReportText(HWND dialog);  // edit 1033
// OK, then waits until the dialog has gone.
bool CloseReport(HWND dialog);

// The texts a service's "Enum" key lists under HKLM\SYSTEM\CurrentControlSet\services\<service>,
// written for one test and removed with this object (with the service key when it made it).
class ServiceEnum {
 public:
  ServiceEnum(const std::wstring& service, DWORD count, const std::vector<std::wstring>& texts);
  ~ServiceEnum();
  ServiceEnum(const ServiceEnum&) = delete;
  ServiceEnum& operator=(const ServiceEnum&) = delete;

 private:
  std::wstring serviceKey_;
  bool madeService_ = false;
};

}  // namespace idtest
