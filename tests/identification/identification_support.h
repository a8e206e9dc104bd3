// What the identification tests share: the program with the setupapi stand-in and emulated
// panels, the registry's list of a composite-device service, the hardware-details switch through
// the panel list's context menu, and the Device Information dialog.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/driver/driver.h"

namespace idtest {

inline constexpr DWORD kTimeoutMs = 15000;
inline constexpr wchar_t kGeneric[] = L"Generic FIP Device";

using Environment = std::vector<std::pair<std::wstring, std::wstring>>;
using Lines = std::vector<std::wstring>;

// The interface path the stand-in makes for a serial number.
std::wstring PanelPath(const std::wstring& serial);
// "USB\VID_06A3&PID_A2AE\<serial>", as the service lists a panel.
std::wstring PanelInstance(const std::wstring& serial);
std::wstring SerialLine(const std::wstring& serial);  // "FIP Device (S/N: <serial>)"

// The texts a service's "Enum" key lists under HKLM\SYSTEM\CurrentControlSet\services\<service>,
// removed with this object.
class ServiceEnum {
 public:
  explicit ServiceEnum(const std::wstring& service);
  ~ServiceEnum();
  ServiceEnum(const ServiceEnum&) = delete;
  ServiceEnum& operator=(const ServiceEnum&) = delete;
  void Set(DWORD count, const std::vector<std::wstring>& texts);

 private:
  std::wstring enumKey_;
};

// The fixture: one run of bin/usb/Panelcast.exe at a time.
class Identification : public ::testing::Test {
 protected:
  // The program with `panels` ("A1,B2") and the stand-in's settings `usb` (PANELCAST_EMU_USB_...
  // variables), past the start-up notice when `expectNotice`; false when it did not come up or
  // showed a notice against the expectation.
  bool Start(const std::wstring& panels, bool expectNotice, Environment usb = {});
  HWND Main() const { return session_->mainWindow; }
  Lines ListLines() const;
  // Waits until the list shows `lines`.
  bool ListShows(const Lines& lines) const;

  // The context menu over the panel list, opened as the keyboard's context-menu key does; null
  // when it did not open.
  HWND OpenContextMenu();
  // Waits until the open menu shows its item (dark pixels) and returns how it looks.
  driver::Picture PaintedMenu(HWND menu);
  // Closes the open menu with Esc.
  bool CancelMenu(HWND menu);
  // Chooses "Show hardware details" in the menu, turning the switch on (or off); true once a
  // double-click on line 0 opens the report (or does not), which only the switch decides.
  bool ChooseShowHardwareDetails(bool turnOn = true);

  // Selects line `line` and double-clicks it; the Device Information dialog, or null.
  HWND OpenReport(int line);
  static std::wstring ReportText(HWND dialog);
  // OK, then waits until the dialog has gone.
  static bool CloseReport(HWND dialog);

  std::unique_ptr<driver::PanelSession> session_;
};

}  // namespace idtest
