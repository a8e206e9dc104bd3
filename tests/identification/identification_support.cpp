#include "tests/identification/identification_support.h"

#include "resources/resource_ids.h"
#include "tests/shell/shell_test_support.h"

namespace idtest {
namespace {

HWND FindMenuWindow(DWORD pid) {
  HWND found = nullptr;
  for (HWND w = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w;
       w = FindWindowExW(nullptr, w, L"#32768", nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid && IsWindowVisible(w)) found = w;
  }
  return found;
}

// True once the menu shows dark text (its item) and fills `picture` with what it shows.
bool MenuShowsItsItem(HWND menu, driver::Picture& picture) {
  picture = driver::CaptureWindow(menu);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if ((picture.At(x, y) & 0xC0C0C0) == 0) return true;
    }
  }
  return false;
}

}  // namespace

std::wstring PanelPath(const std::wstring& serial) {
  std::wstring lower = serial;
  for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
  return L"\\\\?\\usb#vid_06a3&pid_a2ae#" + lower + L"#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
}

std::wstring PanelInstance(const std::wstring& serial) {
  return L"USB\\VID_06A3&PID_A2AE\\" + serial;
}

std::wstring SerialLine(const std::wstring& serial) { return L"FIP Device (S/N: " + serial + L")"; }

ServiceEnum::ServiceEnum(const std::wstring& service)
    : enumKey_(L"SYSTEM\\CurrentControlSet\\services\\" + service + L"\\Enum") {}

void ServiceEnum::Set(DWORD count, const std::vector<std::wstring>& texts) {
  (void)RegDeleteTreeW(HKEY_LOCAL_MACHINE, enumKey_.c_str());
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, enumKey_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(key, L"Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count),
                           sizeof(count)),
            ERROR_SUCCESS);
  for (std::size_t n = 0; n < texts.size(); ++n) {
    EXPECT_EQ(RegSetValueExW(key, std::to_wstring(n).c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(texts[n].c_str()),
                             static_cast<DWORD>((texts[n].size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  RegCloseKey(key);
}

ServiceEnum::~ServiceEnum() { (void)RegDeleteTreeW(HKEY_LOCAL_MACHINE, enumKey_.c_str()); }

bool Identification::Start(const std::wstring& panels, bool expectNotice, Environment usb) {
  driver::LaunchOptions options;
  options.exeName = L"usb\\Panelcast.exe";
  options.environment = std::move(usb);
  session_.reset();  // one copy at a time
  session_ = shelltest::StartWithPanels(panels, expectNotice, std::move(options));
  if (!session_) return false;
  const bool noBox = driver::MessageBoxWindows(session_->program->Id()).empty();
  EXPECT_TRUE(noBox) << "an unexpected message box after start-up";
  return noBox;
}

Lines Identification::ListLines() const { return shelltest::ListLines(Main()); }

bool Identification::ListShows(const Lines& lines) const {
  return driver::WaitUntil([&] { return ListLines() == lines; }, kTimeoutMs);
}

HWND Identification::OpenContextMenu() {
  // As a user's right-click would find it: the main window active, after any box it showed has
  // gone and handed the activation back.
  EXPECT_TRUE(driver::WaitUntil([&] { return GetForegroundWindow() == Main(); }, kTimeoutMs));
  // Under X the focus change that follows a closed message box can reach the program a moment
  // after Wine reports the window active, and it cancels a menu that has just opened, even one
  // already found; a user would right-click again, and so does this. A menu counts as open once
  // it has drawn its item and is still up.
  for (int attempt = 0; attempt < 3; ++attempt) {
    // What the keyboard's context-menu key sends: the list as the window, (-1, -1) as the place.
    PostMessageW(Main(), WM_CONTEXTMENU,
                 reinterpret_cast<WPARAM>(driver::Control(Main(), IDC_DEVICE_LIST)),
                 MAKELPARAM(0xFFFF, 0xFFFF));
    HWND menu = nullptr;
    driver::Picture ignored;
    const auto settled = [&] {
      if (menu == nullptr) menu = FindMenuWindow(session_->program->Id());
      if (menu == nullptr) return false;
      if (!IsWindowVisible(menu)) return true;  // cancelled as it opened
      return MenuShowsItsItem(menu, ignored);
    };
    if (driver::WaitUntil(settled, kTimeoutMs / 3) && IsWindowVisible(menu)) return menu;
  }
  return nullptr;
}

driver::Picture Identification::PaintedMenu(HWND menu) {
  driver::Picture picture;
  EXPECT_TRUE(driver::WaitUntil([&] { return MenuShowsItsItem(menu, picture); }, kTimeoutMs))
      << "the menu never showed its item";
  return picture;
}

bool Identification::CancelMenu(HWND menu) {
  driver::PostKey(menu, VK_ESCAPE);
  return driver::WaitUntil([&] { return !IsWindowVisible(menu); }, kTimeoutMs);
}

bool Identification::ChooseShowHardwareDetails(bool turnOn) {
  // Under X a late focus change now and then closes the menu without choosing its item, so the
  // choice is confirmed by what only the switch allows, a double-click opening the report, and
  // made again when it did not take.
  for (int attempt = 0; attempt < 3; ++attempt) {
    HWND menu = OpenContextMenu();
    if (!menu) continue;
    // The menu's own keyboard handling: down to its one item, then Enter.
    driver::PostKey(menu, VK_DOWN);
    driver::PostKey(menu, VK_RETURN);
    if (!driver::WaitUntil([&] { return !IsWindowVisible(menu); }, kTimeoutMs)) continue;
    driver::SelectListLine(Main(), IDC_DEVICE_LIST, 0);
    driver::PostCommand(Main(), IDC_DEVICE_LIST, LBN_DBLCLK);
    HWND report =
        driver::WaitForWindow(L"Device Information", session_->program->Id(), turnOn ? 3000 : 1500);
    if (report && !CloseReport(report)) break;
    if ((report != nullptr) == turnOn) return true;
  }
  ADD_FAILURE() << "the context menu never turned the hardware details " << (turnOn ? "on" : "off");
  driver::SaveScreenshot(L"identification-menu-not-chosen");
  return false;
}

HWND Identification::OpenReport(int line) {
  driver::SelectListLine(Main(), IDC_DEVICE_LIST, line);
  driver::PostCommand(Main(), IDC_DEVICE_LIST, LBN_DBLCLK);
  return driver::WaitForWindow(L"Device Information", session_->program->Id(), kTimeoutMs);
}

std::wstring Identification::ReportText(HWND dialog) {
  return driver::ControlText(dialog, IDC_REPORT);
}

bool Identification::CloseReport(HWND dialog) {
  driver::Click(dialog, IDC_OK);
  return driver::WaitForWindowGone(dialog, kTimeoutMs);
}

}  // namespace idtest
