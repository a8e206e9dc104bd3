// Identification as a user sees it through the hardware-details switch: the panel list in the
// order the composite-device service lists the panels, the serial numbers that the USB interfaces
// give, the start-up notice when none can be read, and the Device Information dialog.
#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "tests/identification/identification_support.h"

namespace idtest {
namespace {

std::wstring ExpectedReport(const std::wstring& serial, int position, bool friendlyName = true,
                            bool parent = true, const std::wstring& service = L"usbccgp") {
  const std::wstring n = std::to_wstring(position);
  std::wstring text =
      L"Full path: " + PanelPath(serial) + L"\r\nHardware ID: USB\\VID_06A3&PID_A2AE&REV_0100";
  if (parent) text += L"\r\nParent hardware ID: USB\\ROOT_HUB30\\4&2A7C1F3&0&" + n;
  if (friendlyName) text += L"\r\nFriendlyName: Zivovi Flight Instrument Panel";
  return text + L"\r\nDriver: {36fc9e60-c465-11cf-8056-444553540000}\\000" + n +
         L"\r\nClass GUID: {36fc9e60-c465-11cf-8056-444553540000}"
         L"\r\nDescription: USB Composite Device\r\nManufacturer: Zivovi"
         L"\r\nPhysical object name: \\Device\\USBPDO-" +
         std::to_wstring(position + 6) + L"\r\nLocation information: Port_#000" + n +
         L".Hub_#0002"
         L"\r\nEnumerator: USB\r\nDevice setup class: USB\r\nService name: " +
         service + L"\r\nSerial number: " + serial;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) text = chars;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

struct Order {
  const char* name;
  DWORD count;
  std::vector<std::wstring> texts;
  Lines lines;
};

TEST_F(Identification, TheListFollowsTheServicesOrderAndTheReportsTheInterfaces) {
  const std::wstring a = PanelInstance(L"A1"), b = PanelInstance(L"B2"), c = PanelInstance(L"C3");
  const Lines serials{SerialLine(L"A1"), SerialLine(L"B2"), SerialLine(L"C3")};
  std::wstring tooLongB = b + L"&";  // 60 characters: more than the 100 bytes the walk offers
  tooLongB.resize(60, L'0');
  // Each row's order differs from the one before, so the list is seen to follow.
  const Order orders[] = {
      {"two swapped", 3, {b, a, c}, {serials[1], serials[0], serials[2]}},
      {"a count of 0", 0, {b, a}, serials},
      {"a value too long is skipped", 3, {tooLongB, c, b}, {serials[2], serials[1], serials[0]}},
      {"a count of 1", 1, {b, a}, serials},
      {"past another device's entry",
       4,
       {c, L"USB\\VID_1209&PID_0001\\A1", a, b},
       {serials[2], serials[0], serials[1]}},
  };
  ServiceEnum usual(L"usbccgp");
  usual.Set(orders[0].count, orders[0].texts);
  ASSERT_TRUE(Start(L"A1,B2,C3", false));
  EXPECT_TRUE(ListShows({kGeneric, kGeneric, kGeneric}));

  // While the switch is off a double-click opens nothing (the About box, opened after it, shows
  // that the double-click was handled).
  driver::SelectListLine(Main(), IDC_DEVICE_LIST, 1);
  driver::PostCommand(Main(), IDC_DEVICE_LIST, LBN_DBLCLK);
  driver::Click(Main(), IDC_ABOUT);
  const HWND about = driver::WaitForWindow(L"About", session_->program->Id(), kTimeoutMs);
  EXPECT_FALSE(driver::FindTopWindow(L"Device Information", session_->program->Id()));
  if (about) driver::PressEscape(about);
  EXPECT_TRUE(about && driver::WaitForWindowGone(about, kTimeoutMs));

  HWND menu = OpenContextMenu();
  ASSERT_TRUE(menu);
  const driver::Picture unchecked = PaintedMenu(menu);
  ASSERT_TRUE(CancelMenu(menu));
  EXPECT_EQ(ListLines(), (Lines{kGeneric, kGeneric, kGeneric})) << "Esc changed nothing";
  ASSERT_TRUE(ChooseShowHardwareDetails());
  EXPECT_EQ(driver::ListSelection(Main(), IDC_DEVICE_LIST), 0) << "the highlight stays";
  menu = OpenContextMenu();
  ASSERT_TRUE(menu);
  const driver::Picture checked = PaintedMenu(menu);
  EXPECT_EQ(checked.width, unchecked.width);
  EXPECT_NE(checked.bgr, unchecked.bgr) << "the item shows whether the switch is on";
  ASSERT_TRUE(CancelMenu(menu));

  // The order of start-up's walk first; Refresh walks the registry again, the switch holding.
  for (const Order& order : orders) {
    SCOPED_TRACE(order.name);
    if (&order != orders) {
      usual.Set(order.count, order.texts);
      driver::Click(Main(), IDC_REFRESH);
    }
    EXPECT_TRUE(ListShows(order.lines));
  }
  driver::SaveScreenshot(L"identification-serial-numbers", Main());

  // The reports follow the interfaces' order, whatever the list's.
  HWND dialog = OpenReport(0);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(Narrow(ReportText(dialog)), Narrow(ExpectedReport(L"A1", 1)));
  ASSERT_TRUE(CloseReport(dialog));
  dialog = OpenReport(1);
  ASSERT_TRUE(dialog);
  const std::wstring report = ReportText(dialog);
  EXPECT_EQ(Narrow(report), Narrow(ExpectedReport(L"B2", 2)));
  driver::SaveScreenshot(L"identification-report-dialog");
  HWND edit = driver::Control(dialog, IDC_REPORT);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_COPY, 0, 0);
  EXPECT_EQ(Narrow(ClipboardText()), Narrow(report));
  // A report longer than the box scrolls with a scroll bar, not only with the caret. (The bar's
  // own state cannot be read from another process; the room it takes can.)
  const LONG style = GetWindowLongW(edit, GWL_STYLE);
  EXPECT_TRUE((style & WS_VSCROLL) && (style & ES_AUTOVSCROLL)) << std::hex << style;
  RECT client = {}, outer = {};
  ASSERT_TRUE(GetClientRect(edit, &client) && GetWindowRect(edit, &outer));
  EXPECT_LE(client.right, outer.right - outer.left - GetSystemMetrics(SM_CXVSCROLL));
  // Esc closes it too, and it opens again.
  driver::PressEscape(dialog);
  EXPECT_TRUE(driver::WaitForWindowGone(dialog, kTimeoutMs));
  dialog = OpenReport(0);
  ASSERT_TRUE(dialog) << "the dialog opens again after Esc";
  EXPECT_TRUE(CloseReport(dialog));

  ASSERT_TRUE(ChooseShowHardwareDetails(false));
  EXPECT_EQ(ListLines(), (Lines{kGeneric, kGeneric, kGeneric})) << "switched off again";
}

// One run per row, with the switch on; an empty `report` is not looked at.
struct UsbSetUp {
  const char* name;
  std::wstring panels;
  Environment usb;
  bool notice;
  Lines lines;
  std::wstring report;  // of line 0
  Lines afterRefresh;   // the service the report names orders the next walk
};

TEST_F(Identification, EachUsbSetUpShowsItsNoticeLinesAndReport) {
  // A 3000-character path (no serial number in it) and friendly name: together more than the
  // report's 5000 units, so it ends with the last whole line that fits.
  const std::wstring longPath = PanelPath(L"A1") + L"#" + std::wstring(3000, L'p');
  const std::wstring cut = L"Full path: " + longPath +
                           L"\r\nHardware ID: USB\\VID_06A3&PID_A2AE&REV_0100"
                           L"\r\nParent hardware ID: USB\\ROOT_HUB30\\4&2A7C1F3&0&1";
  const UsbSetUp setUps[] = {
      {"properties missing, another service",
       L"A1,B2",
       {{L"PANELCAST_EMU_USB_MISSING", L"friendlyname,parent"},
        {L"PANELCAST_EMU_USB_SERVICE", L"panelhub"}},
       false,
       {SerialLine(L"A1"), SerialLine(L"B2")},
       ExpectedReport(L"A1", 1, false, false, L"panelhub"),
       {SerialLine(L"B2"), SerialLine(L"A1")}},
      {"no device set",
       L"A1,B2",
       {{L"PANELCAST_EMU_USB_FAIL", L"1"}},
       true,
       {kGeneric, kGeneric},
       L"Failed to get extended information about the device...",
       {}},
      {"no serial number, a long report",
       L"A1",
       {{L"PANELCAST_EMU_USB_PATHS", L"A1=" + longPath},
        {L"PANELCAST_EMU_USB_PROPERTIES", L"friendlyname=" + std::wstring(3000, L'n')}},
       true,
       {kGeneric},
       cut,
       {}},
  };
  ServiceEnum usual(L"usbccgp"), named(L"panelhub");
  usual.Set(2, {PanelInstance(L"A1"), PanelInstance(L"B2")});
  named.Set(2, {PanelInstance(L"B2"), PanelInstance(L"A1")});
  for (const UsbSetUp& setUp : setUps) {
    SCOPED_TRACE(setUp.name);
    ASSERT_TRUE(Start(setUp.panels, setUp.notice, setUp.usb));
    ASSERT_TRUE(ChooseShowHardwareDetails());
    EXPECT_EQ(ListLines(), setUp.lines);
    HWND dialog = OpenReport(0);
    ASSERT_TRUE(dialog);
    const std::wstring report = ReportText(dialog);
    EXPECT_EQ(report.size(), setUp.report.size());
    EXPECT_TRUE(report == setUp.report) << Narrow(report.substr(0, 400));
    ASSERT_TRUE(CloseReport(dialog));
    if (setUp.afterRefresh.empty()) continue;
    driver::Click(Main(), IDC_REFRESH);
    EXPECT_TRUE(ListShows(setUp.afterRefresh));
  }
}

struct Change {
  const char* name;
  const char* arrive;
  const char* leave;
  Lines lines;
};

// Interfaces that do not pair one to one with the panels: the k-th panel interface is taken for
// the k-th panel, whatever panel it comes from.
TEST_F(Identification, InterfacesPairWithThePanelsInTheirOrder) {
  const std::wstring longSerial = L"S123456789A123456789B123456789C123456789D123456789E12345";
  std::wstring upper = PanelPath(L"A1");  // not a panel's interface
  for (wchar_t& ch : upper) ch = static_cast<wchar_t>(towupper(ch));
  std::wstring hundred = PanelPath(L"B2");  // too long to give a serial number
  hundred.insert(hundred.size() - 38, std::wstring(100 - hundred.size(), L'x'));
  std::wstring noClass = PanelPath(longSerial);  // no class part, so below 100 characters
  noClass.resize(noClass.size() - 39);
  const std::wstring c3 = SerialLine(L"C3"), cutSerial = SerialLine(longSerial.substr(0, 50));
  // Only the first four panels have an interface; another device's comes before the panels'.
  ASSERT_TRUE(Start(L"A1,B2,C3," + longSerial + L",E5", false,
                    {{L"PANELCAST_EMU_USB_PATHS",
                      L"A1=" + upper + L"|B2=" + hundred + L"|" + longSerial + L"=" + noClass},
                     {L"PANELCAST_EMU_USB_EXTRA",
                      L"\\\\?\\usb#vid_1209&pid_0001#q9#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"},
                     {L"PANELCAST_EMU_USB_ONLY", L"4"}}));
  ASSERT_TRUE(ChooseShowHardwareDetails());
  const Change changes[] = {
      {"at start", nullptr, nullptr, {kGeneric, c3, cutSerial, kGeneric, kGeneric}},
      {"a panel without an interface leaves", nullptr, "E5", {kGeneric, c3, cutSerial, kGeneric}},
      {"the panel of the first interface leaves", nullptr, "B2", {c3, cutSerial, kGeneric}},
      {"an arrival pairs in the library's order",
       "D4",
       nullptr,
       {c3, cutSerial, SerialLine(L"D4"), kGeneric}},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.name);
    EXPECT_TRUE(!change.arrive || session_->panels->AddPanel(change.arrive));
    EXPECT_TRUE(!change.leave || session_->panels->RemovePanel(change.leave));
    EXPECT_TRUE(ListShows(change.lines));
  }
}

}  // namespace
}  // namespace idtest
