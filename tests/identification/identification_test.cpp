// Identification as a user sees it through the hardware-details switch of the list's context
// menu: the list in the composite-device service's order, the serial numbers that the USB
// interfaces give, and the Device Information dialog, of bin/usb/Panelcast.exe.
#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "tests/shell/shell_test_support.h"

namespace idtest {
namespace {

using shelltest::kTimeoutMs;
using Lines = std::vector<std::wstring>;
using Environment = std::vector<std::pair<std::wstring, std::wstring>>;
constexpr wchar_t kGeneric[] = L"Generic FIP Device";

// The interface path the stand-in makes for a serial number, and how the service lists it.
std::wstring PanelPath(std::wstring serial) {
  for (wchar_t& c : serial) c = static_cast<wchar_t>(towlower(c));
  return L"\\\\?\\usb#vid_06a3&pid_a2ae#" + serial + L"#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
}
std::wstring Instance(const std::wstring& serial) { return L"USB\\VID_06A3&PID_A2AE\\" + serial; }
std::wstring SerialLine(const std::wstring& serial) { return L"FIP Device (S/N: " + serial + L")"; }

// What the service's "Enum" key lists: its count and texts.
void ListInEnum(const std::wstring& service, DWORD count, const Lines& texts) {
  const std::wstring key = L"SYSTEM\\CurrentControlSet\\services\\" + service + L"\\Enum";
  (void)RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
  EXPECT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Count", REG_DWORD, &count, 4), 0);
  for (std::size_t n = 0; n < texts.size(); ++n) {
    EXPECT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), std::to_wstring(n).c_str(), REG_SZ,
                              texts[n].c_str(), static_cast<DWORD>(texts[n].size() * 2 + 2)),
              0);
  }
}

// The report of the panel with interface `path`, the stand-in's panel `n` (from 1), up to the
// serial number's value or, when given, the line of `last`; without its parent and friendly name
// when not `whole`.
std::wstring Report(const std::wstring& path, int n, bool whole = true,
                    const std::wstring& service = L"usbccgp", const wchar_t* last = nullptr) {
  const std::wstring id = std::to_wstring(n), guid = L"{36fc9e60-c465-11cf-8056-444553540000}";
  std::wstring report = L"Full path: " + path + L"\r\nHardware ID: USB\\VID_06A3&PID_A2AE&REV_0100";
  if (whole) {
    report += L"\r\nParent hardware ID: USB\\ROOT_HUB30\\4&2A7C1F3&0&" + id +
              L"\r\nFriendlyName: Zivovi Flight Instrument Panel";
  }
  report += L"\r\nDriver: " + guid + L"\\000" + id + L"\r\nClass GUID: " + guid +
            L"\r\nDescription: USB Composite Device\r\nManufacturer: Zivovi"
            L"\r\nPhysical object name: \\Device\\USBPDO-" + std::to_wstring(n + 6) +
            L"\r\nLocation information: Port_#000" + id + L".Hub_#0002\r\nEnumerator: USB"
            L"\r\nDevice setup class: USB\r\nService name: " + service + L"\r\nSerial number: ";
  return last ? report.substr(0, report.find(L"\r\n" + std::wstring(last))) : report;
}

HWND MenuOf(DWORD pid) {  // the program's visible menu window, if any
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32768", nullptr)) != nullptr;) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

bool ShowsItsItem(HWND menu) {  // dark text
  const driver::Picture picture = driver::CaptureWindow(menu);
  for (int i = 0; i < picture.width * picture.height; ++i) {
    if ((picture.At(i % picture.width, i / picture.width) & 0xC0C0C0) == 0) return true;
  }
  return false;
}

// One run of bin/usb/Panelcast.exe at a time; the services list nothing after it.
class Identification : public shelltest::Shell {
 protected:
  ~Identification() override {
    for (const wchar_t* service : {L"usbccgp", L"panelhub"}) ListInEnum(service, 0, {});
  }
  bool ListShows(const Lines& lines) const {
    return driver::WaitUntil([&] { return shelltest::ListLines(Main()) == lines; }, kTimeoutMs);
  }

  // As the context-menu key opens it, the main window active. Under X the focus change after a
  // closed message box can reach the program late and cancel a menu that has just opened; a user
  // would open it again, and so does this. It counts as open once it has drawn its item.
  HWND OpenContextMenu() {
    EXPECT_TRUE(driver::WaitUntil([&] { return GetForegroundWindow() == Main(); }, kTimeoutMs));
    for (int attempt = 0; attempt < 3; ++attempt) {
      PostMessageW(Main(), WM_CONTEXTMENU,
                   reinterpret_cast<WPARAM>(driver::Control(Main(), IDC_DEVICE_LIST)),
                   MAKELPARAM(0xFFFF, 0xFFFF));
      HWND menu = nullptr;
      const auto settled = [&] {
        if (!menu) menu = MenuOf(Pid());
        return menu && (!IsWindowVisible(menu) || ShowsItsItem(menu));
      };
      if (driver::WaitUntil(settled, kTimeoutMs / 3) && IsWindowVisible(menu)) return menu;
    }
    return nullptr;
  }
  static bool Closes(HWND menu, UINT key) {
    driver::PostKey(menu, key);
    return driver::WaitUntil([&] { return !IsWindowVisible(menu); }, kTimeoutMs);
  }
  // The menu's one item, chosen with its keys. A late focus change can close the menu unchosen,
  // so the choice is confirmed by what only the switch allows: a double-click opening the report.
  bool ChooseShowHardwareDetails(bool turnOn) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      HWND menu = OpenContextMenu();
      if (!menu) continue;
      driver::PostKey(menu, VK_DOWN);
      if (!Closes(menu, VK_RETURN)) continue;
      if (ReportOf(0, turnOn ? 3000 : 1500).empty() != turnOn) return true;
    }
    ADD_FAILURE() << "the menu never turned the hardware details " << (turnOn ? "on" : "off");
    return false;
  }
  // Line `line`'s report, opened by a double-click and closed with OK; empty when none opens.
  std::wstring ReportOf(int line, DWORD timeoutMs = kTimeoutMs) {
    driver::SelectListLine(Main(), IDC_DEVICE_LIST, line);
    driver::PostCommand(Main(), IDC_DEVICE_LIST, LBN_DBLCLK);
    const HWND dialog = driver::WaitForWindow(L"Device Information", Pid(), timeoutMs);
    const std::wstring text = dialog ? driver::ControlText(dialog, IDC_REPORT) : L"";
    if (dialog) driver::Click(dialog, IDC_OK);
    EXPECT_TRUE(!dialog || driver::WaitForWindowGone(dialog, kTimeoutMs));
    return text;
  }
};

// One run per row: the lines before and after the switch is turned on, the report of line 1, then
// what the changes make of the list, and the switch turned off again.
TEST_F(Identification, EachUsbSetUpShowsItsLinesAndReports) {
  const std::wstring a = Instance(L"A1"), b = Instance(L"B2"), c = Instance(L"C3");
  const Lines serials{SerialLine(L"A1"), SerialLine(L"B2"), SerialLine(L"C3")};
  const std::wstring tooLongB = b + L"&" + std::wstring(35, L'0');  // 60: over the walk's 100 bytes
  const std::wstring longSerial = L"S123456789A123456789B123456789C123456789D123456789E12345";
  std::wstring upper = PanelPath(L"A1");  // not a panel's interface: its marker is upper case
  for (wchar_t& ch : upper) ch = static_cast<wchar_t>(towupper(ch));
  std::wstring hundred = PanelPath(L"B2");  // too long to give a serial number
  hundred.insert(hundred.size() - 38, std::wstring(100 - hundred.size(), L'x'));
  const std::wstring noClass = PanelPath(longSerial).substr(0, 82);  // no class part: below 100
  const std::wstring longC3 = PanelPath(L"C3") + L"#" + std::wstring(3000, L'p');
  const std::wstring cut = SerialLine(longSerial.substr(0, 50));
  struct Change {  // a panel arriving or leaving, or else Refresh, after the service's list
    const char *arrive, *leave;  // has been rewritten when `count` is not negative
    int count;
    Lines texts, lines;
  };
  const struct {
    const char* name;
    std::wstring panels;
    Environment usb;
    Lines listed;  // by the composite-device service at start
    Lines lines;
    std::wstring report;
    std::vector<Change> changes;
  } setUps[] = {
      // Each order differs from the one before, so the list is seen to follow. The reports
      // follow the interfaces' order, whatever the list's. (Which texts name which panel the
      // native tests show.)
      {"the service's order", L"A1,B2,C3", {}, {b, a, c},
       {serials[1], serials[0], serials[2]}, Report(PanelPath(L"B2"), 2) + L"B2",
       {{"", "", 0, {b, a}, serials},
        {"", "", 3, {tooLongB, c, b}, {serials[2], serials[1], serials[0]}},  // the first skipped
        {"", "", 1, {b, a}, serials},
        {"", "", 3, {c, a, b}, {serials[2], serials[0], serials[1]}}}},
      // The service the report names orders the next walk.
      {"properties missing, another service", L"A1,B2",
       {{L"PANELCAST_EMU_USB_MISSING", L"friendlyname,parent"},
        {L"PANELCAST_EMU_USB_SERVICE", L"panelhub"}},
       {}, {serials[0], serials[1]},
       Report(PanelPath(L"B2"), 2, false, L"panelhub") + L"B2",
       {{"", "", -1, {}, {serials[1], serials[0]}}}},
      // Only the first four panels have an interface, another device's coming first: the k-th
      // panel interface is taken for the k-th panel, whatever panel it comes from. Line 1's
      // report, of C3's interface, with a friendly name as long, ends with its last whole line
      // within 5000 units.
      {"interfaces that do not pair one to one", L"A1,B2,C3," + longSerial + L",E5",
       {{L"PANELCAST_EMU_USB_PATHS", L"A1=" + upper + L"|B2=" + hundred + L"|C3=" + longC3 +
                                         L"|" + longSerial + L"=" + noClass},
        {L"PANELCAST_EMU_USB_EXTRA",
         L"\\\\?\\usb#vid_1209&pid_0001#q9#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"},
        {L"PANELCAST_EMU_USB_ONLY", L"4"},
        {L"PANELCAST_EMU_USB_PROPERTIES", L"friendlyname=" + std::wstring(3000, L'n')}},
       {}, {kGeneric, kGeneric, cut, kGeneric, kGeneric},
       Report(longC3, 3, true, L"usbccgp", L"FriendlyName"),
       {{"", "E5", -1, {}, {kGeneric, kGeneric, cut, kGeneric}},
        {"", "B2", -1, {}, {kGeneric, cut, kGeneric}},
        {"D4", "", -1, {}, {kGeneric, cut, SerialLine(L"D4"), kGeneric}}}},
  };
  ListInEnum(L"panelhub", 2, {b, a});
  for (const auto& setUp : setUps) {
    SCOPED_TRACE(setUp.name);
    ListInEnum(L"usbccgp", static_cast<DWORD>(setUp.listed.size()), setUp.listed);
    driver::LaunchOptions options;
    options.environment = setUp.usb;
    options.exeName = L"usb\\Panelcast.exe";
    ASSERT_TRUE(Start(setUp.panels, false, options));  // no notice: a serial number was read
    EXPECT_TRUE(driver::MessageBoxWindows(Pid()).empty()) << "a message box after start-up";
    EXPECT_TRUE(ListShows(Lines(setUp.lines.size(), kGeneric)));
    ASSERT_TRUE(ChooseShowHardwareDetails(true));
    EXPECT_TRUE(ListShows(setUp.lines));
    EXPECT_EQ(ReportOf(1), setUp.report);
    for (const Change& change : setUp.changes) {
      if (change.count >= 0) ListInEnum(L"usbccgp", change.count, change.texts);
      if (!*change.arrive && !*change.leave) driver::Click(Main(), IDC_REFRESH);
      EXPECT_TRUE(!*change.arrive || Panels().AddPanel(change.arrive));
      EXPECT_TRUE(!*change.leave || Panels().RemovePanel(change.leave));
      EXPECT_TRUE(ListShows(change.lines));
    }
    ASSERT_TRUE(ChooseShowHardwareDetails(false));
    EXPECT_TRUE(ListShows(Lines(shelltest::ListLines(Main()).size(), kGeneric)));
  }
}

}  // namespace
}  // namespace idtest
