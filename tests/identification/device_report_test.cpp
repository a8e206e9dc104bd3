// The Device Information dialog: the report of the chosen panel in its order and labels, lines
// for missing properties left out, the service it names used by the next registry walk, the
// failure text, copying, and how the dialog ends.
#include <gtest/gtest.h>

#include "tests/identification/identification_support.h"

namespace idtest {
namespace {

using Lines = std::vector<std::wstring>;

std::wstring ExpectedReport(const std::wstring& serial, int position, bool friendlyName = true,
                            bool parent = true, const std::wstring& service = L"usbccgp") {
  const std::wstring n = std::to_wstring(position);
  std::wstring text = L"Full path: " + PanelPath(serial) +
                      L"\r\nHardware ID: USB\\VID_06A3&PID_A2AE&REV_0100";
  if (parent) text += L"\r\nParent hardware ID: USB\\ROOT_HUB30\\4&2A7C1F3&0&" + n;
  if (friendlyName) text += L"\r\nFriendlyName: Zivovi Flight Instrument Panel";
  text += L"\r\nDriver: {36fc9e60-c465-11cf-8056-444553540000}\\000" + n +
          L"\r\nClass GUID: {36fc9e60-c465-11cf-8056-444553540000}"
          L"\r\nDescription: USB Composite Device"
          L"\r\nManufacturer: Zivovi"
          L"\r\nPhysical object name: \\Device\\USBPDO-" + std::to_wstring(position + 6) +
          L"\r\nLocation information: Port_#000" + n + L".Hub_#0002"
          L"\r\nEnumerator: USB"
          L"\r\nDevice setup class: USB"
          L"\r\nService name: " + service +
          L"\r\nSerial number: " + serial;
  return text;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

TEST(DeviceReport, FirstAndSecondPanelInInterfaceOrderAndTheTextCopies) {
  auto session = Start(L"A1,B2", false);
  ASSERT_TRUE(session);
  // While the switch is off a double-click opens nothing.
  driver::SelectListLine(session->mainWindow, kPanelList, 1);
  driver::PostCommand(session->mainWindow, kPanelList, LBN_DBLCLK);
  driver::Click(session->mainWindow, 1010);  // About: proof that the double-click was handled
  HWND about = driver::WaitForWindow(L"About", session->program->Id(), kTimeoutMs);
  EXPECT_FALSE(driver::FindTopWindow(L"Device Information", session->program->Id()));
  if (about) {
    driver::PressEscape(about);
    EXPECT_TRUE(driver::WaitForWindowGone(about, kTimeoutMs));
  }

  ASSERT_TRUE(ChooseShowHardwareDetails(*session));
  HWND dialog = OpenReport(*session, 0);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(Narrow(ReportText(dialog)), Narrow(ExpectedReport(L"A1", 1)));
  ASSERT_TRUE(CloseReport(dialog));

  dialog = OpenReport(*session, 1);
  ASSERT_TRUE(dialog);
  const std::wstring report = ReportText(dialog);
  EXPECT_EQ(Narrow(report), Narrow(ExpectedReport(L"B2", 2)));
  driver::SaveScreenshot(L"identification-report-dialog");

  HWND edit = driver::Control(dialog, 1033);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_COPY, 0, 0);
  EXPECT_EQ(Narrow(ClipboardText()), Narrow(report));

  // A report longer than the box scrolls with a scroll bar, not only with the caret.
  // (The bar's own state cannot be read from another process; the room it takes can.)
  const LONG style = GetWindowLongW(edit, GWL_STYLE);
  EXPECT_TRUE((style & WS_VSCROLL) && (style & ES_AUTOVSCROLL)) << std::hex << style;
  RECT client = {}, outer = {};
  ASSERT_TRUE(GetClientRect(edit, &client) && GetWindowRect(edit, &outer));
  EXPECT_LE(client.right, outer.right - outer.left - GetSystemMetrics(SM_CXVSCROLL))
      << "the box keeps no room for a vertical scroll bar";

  // Esc closes it too, and the main window carries on.
  driver::PressEscape(dialog);
  EXPECT_TRUE(driver::WaitForWindowGone(dialog, kTimeoutMs));
  EXPECT_TRUE(IsWindowVisible(session->mainWindow));
  EXPECT_TRUE(session->program->Running());
  dialog = OpenReport(*session, 0);
  ASSERT_TRUE(dialog) << "the dialog opens again after Esc";
  EXPECT_TRUE(CloseReport(dialog));
}

TEST(DeviceReport, PropertiesTheDeviceLacksHaveNoLine) {
  auto session =
      Start(L"A1", false, {{L"PANELCAST_EMU_USB_MISSING", L"friendlyname,parent"}});
  ASSERT_TRUE(session);
  ASSERT_TRUE(ChooseShowHardwareDetails(*session));
  HWND dialog = OpenReport(*session, 0);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(Narrow(ReportText(dialog)), Narrow(ExpectedReport(L"A1", 1, false, false)));
  EXPECT_TRUE(CloseReport(dialog));
}

TEST(DeviceReport, TheServiceItNamesOrdersTheNextWalk) {
  ServiceEnum usual(L"usbccgp", 2, {PanelInstance(L"A1"), PanelInstance(L"B2")});
  ServiceEnum named(L"panelhub", 2, {PanelInstance(L"B2"), PanelInstance(L"A1")});
  auto session = Start(L"A1,B2", false, {{L"PANELCAST_EMU_USB_SERVICE", L"panelhub"}});
  ASSERT_TRUE(session);
  ASSERT_TRUE(ChooseShowHardwareDetails(*session));
  EXPECT_EQ(ListLines(session->mainWindow), (Lines{SerialLine(L"A1"), SerialLine(L"B2")}));
  HWND dialog = OpenReport(*session, 0);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(Narrow(ReportText(dialog)),
            Narrow(ExpectedReport(L"A1", 1, true, true, L"panelhub")));
  ASSERT_TRUE(CloseReport(dialog));
  driver::Click(session->mainWindow, 1009);  // Refresh
  EXPECT_TRUE(driver::WaitUntil(
      [&] { return ListLines(session->mainWindow) == Lines{SerialLine(L"B2"), SerialLine(L"A1")}; },
      kTimeoutMs));
}

TEST(DeviceReport, NoDeviceSetGivesTheFailureText) {
  auto session = Start(L"A1", true, {{L"PANELCAST_EMU_USB_FAIL", L"1"}});
  ASSERT_TRUE(session);
  ASSERT_TRUE(ChooseShowHardwareDetails(*session));
  HWND dialog = OpenReport(*session, 0);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(Narrow(ReportText(dialog)), "Failed to get extended information about the device...");
  EXPECT_TRUE(CloseReport(dialog));
}

TEST(DeviceReport, ALongReportIsCutAtALineEnd) {
  // A 3000-character path and friendly name: together more than the report's 5000 units. (A path
  // that long has no serial number in the list, hence the start-up notice.)
  std::wstring path = PanelPath(L"A1") + L"#" + std::wstring(3000, L'p');
  const std::wstring name(3000, L'n');
  auto session = Start(L"A1", true,
                       {{L"PANELCAST_EMU_USB_PATHS", L"A1=" + path},
                        {L"PANELCAST_EMU_USB_PROPERTIES", L"friendlyname=" + name}});
  ASSERT_TRUE(session);
  ASSERT_TRUE(ChooseShowHardwareDetails(*session));
  HWND dialog = OpenReport(*session, 0);
  ASSERT_TRUE(dialog);
  const std::wstring report = ReportText(dialog);
  const std::wstring upToParent = L"Full path: " + path +
                                  L"\r\nHardware ID: USB\\VID_06A3&PID_A2AE&REV_0100"
                                  L"\r\nParent hardware ID: USB\\ROOT_HUB30\\4&2A7C1F3&0&1";
  EXPECT_EQ(report.size(), upToParent.size());
  EXPECT_TRUE(report == upToParent) << "the report ends with the last whole line that fits";
  EXPECT_TRUE(CloseReport(dialog));
}

}  // namespace
}  // namespace idtest
