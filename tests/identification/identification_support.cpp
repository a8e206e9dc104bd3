#include "tests/identification/identification_support.h"

#include <gtest/gtest.h>

namespace idtest {
namespace {

constexpr wchar_t kServices[] = L"SYSTEM\\CurrentControlSet\\services\\";

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
  return text;
}

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

}  // namespace

std::unique_ptr<driver::PanelSession> Start(const std::wstring& panels, bool expectNotice,
                                            Environment usb) {
  driver::LaunchOptions options;
  options.exeName = L"usb\\Panelcast.exe";
  options.environment = std::move(usb);
  options.environment.emplace_back(L"PANELCAST_EMU_PANELS", panels);
  auto session = driver::LaunchWithPanels(0, std::move(options), kTimeoutMs);
  if (!session) {
    ADD_FAILURE() << "the program did not start with panels " << Narrow(panels);
    return nullptr;
  }
  const DWORD pid = session->program->Id();
  std::size_t count = panels.empty() ? 0 : 1;
  for (wchar_t c : panels) count += c == L',';
  if (expectNotice) {
    const auto box = driver::WaitForMessageBox(pid, kTimeoutMs);
    if (!box) {
      ADD_FAILURE() << "the start-up notice never came";
      return nullptr;
    }
    EXPECT_EQ(Narrow(box->title), "Information");
    EXPECT_EQ(Narrow(box->text),
              "Getting hardware info for one or more devices failed. Such devices will be shown "
              "as \"Generic FIP Device\"...");
    driver::AnswerMessageBox(box->window, IDOK);
    EXPECT_TRUE(driver::WaitForWindowGone(box->window, kTimeoutMs));
  }
  // The list is filled after the notice would have been answered: a full list with no box
  // open means there was none.
  const HWND main = session->mainWindow;
  if (!driver::WaitUntil(
          [&] { return driver::ListCount(main, kPanelList) == static_cast<int>(count); },
          kTimeoutMs)) {
    ADD_FAILURE() << "the panel list never got " << count << " lines";
    return nullptr;
  }
  if (!expectNotice) {
    EXPECT_TRUE(driver::MessageBoxWindows(pid).empty()) << "unexpected notice";
  }
  return session;
}

std::wstring PanelPath(const std::wstring& serial) {
  return L"\\\\?\\usb#vid_06a3&pid_a2ae#" + Lower(serial) +
         L"#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
}

std::wstring PanelInstance(const std::wstring& serial) {
  return L"USB\\VID_06A3&PID_A2AE\\" + serial;
}

std::vector<std::wstring> ListLines(HWND mainWindow) {
  std::vector<std::wstring> lines;
  const int count = driver::ListCount(mainWindow, kPanelList);
  for (int i = 0; i < count; ++i) lines.push_back(driver::ListLine(mainWindow, kPanelList, i));
  return lines;
}

std::wstring SerialLine(const std::wstring& serial) { return L"FIP Device (S/N: " + serial + L")"; }

namespace {

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

HWND OpenContextMenu(const driver::PanelSession& session) {
  // As a user's right-click would find it: the main window active, after any box it showed has
  // gone and handed the activation back.
  EXPECT_TRUE(driver::WaitUntil(
      [&] { return GetForegroundWindow() == session.mainWindow; }, kTimeoutMs));
  // Under X the focus change that follows a closed message box can reach the program a moment
  // after Wine reports the window active, and it cancels a menu that has just opened, even one
  // already found; a user would right-click again, and so does this. A menu counts as open once
  // it has drawn its item and is still up.
  for (int attempt = 0; attempt < 3; ++attempt) {
    // What the keyboard's context-menu key sends: the list as the window, (-1, -1) as the place.
    PostMessageW(session.mainWindow, WM_CONTEXTMENU,
                 reinterpret_cast<WPARAM>(driver::Control(session.mainWindow, kPanelList)),
                 MAKELPARAM(0xFFFF, 0xFFFF));
    HWND menu = nullptr;
    driver::Picture ignored;
    const auto settled = [&] {
      if (menu == nullptr) menu = FindMenuWindow(session.program->Id());
      if (menu == nullptr) return false;
      if (!IsWindowVisible(menu)) return true;  // cancelled as it opened
      return MenuShowsItsItem(menu, ignored);
    };
    if (driver::WaitUntil(settled, kTimeoutMs / 3) && IsWindowVisible(menu)) return menu;
  }
  return nullptr;
}

driver::Picture PaintedMenu(HWND menu) {
  driver::Picture picture;
  EXPECT_TRUE(driver::WaitUntil([&] { return MenuShowsItsItem(menu, picture); }, kTimeoutMs))
      << "the menu never showed its item";
  return picture;
}

bool ChooseShowHardwareDetails(const driver::PanelSession& session, bool turnOn) {
  // Under X a late focus change now and then closes the menu without choosing its item, so the
  // choice is confirmed by what only the switch allows, a double-click opening the report, and
  // made again when it did not take.
  for (int attempt = 0; attempt < 3; ++attempt) {
    HWND menu = OpenContextMenu(session);
    if (!menu) continue;
    // The menu's own keyboard handling: down to its one item, then Enter.
    driver::PostKey(menu, VK_DOWN);
    driver::PostKey(menu, VK_RETURN);
    if (!driver::WaitUntil([&] { return !IsWindowVisible(menu); }, kTimeoutMs)) continue;
    driver::SelectListLine(session.mainWindow, kPanelList, 0);
    driver::PostCommand(session.mainWindow, kPanelList, LBN_DBLCLK);
    HWND report = driver::WaitForWindow(L"Device Information", session.program->Id(),
                                        turnOn ? 3000 : 1500);
    if (report && !CloseReport(report)) break;
    if ((report != nullptr) == turnOn) return true;
  }
  ADD_FAILURE() << "the context menu never turned the hardware details " << (turnOn ? "on" : "off");
  driver::SaveScreenshot(L"identification-menu-not-chosen");
  return false;
}

HWND OpenReport(const driver::PanelSession& session, int line) {
  driver::SelectListLine(session.mainWindow, kPanelList, line);
  driver::PostCommand(session.mainWindow, kPanelList, LBN_DBLCLK);
  return driver::WaitForWindow(L"Device Information", session.program->Id(), kTimeoutMs);
}

std::wstring ReportText(HWND dialog) { return driver::ControlText(dialog, 1033); }

bool CloseReport(HWND dialog) {
  driver::Click(dialog, 1031);
  return driver::WaitForWindowGone(dialog, kTimeoutMs);
}

ServiceEnum::ServiceEnum(const std::wstring& service, DWORD count,
                         const std::vector<std::wstring>& texts)
    : serviceKey_(std::wstring(kServices) + service) {
  HKEY key = nullptr;
  madeService_ = RegOpenKeyExW(HKEY_LOCAL_MACHINE, serviceKey_.c_str(), 0, KEY_READ, &key) !=
                 ERROR_SUCCESS;
  if (key) RegCloseKey(key);
  key = nullptr;
  const std::wstring enumKey = serviceKey_ + L"\\Enum";
  (void)RegDeleteTreeW(HKEY_LOCAL_MACHINE, enumKey.c_str());
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, enumKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    ADD_FAILURE() << "cannot write " << Narrow(enumKey);
    return;
  }
  EXPECT_EQ(RegSetValueExW(key, L"Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count),
                           sizeof(count)),
            ERROR_SUCCESS);
  for (std::size_t n = 0; n < texts.size(); ++n) {
    const std::wstring name = std::to_wstring(n);
    EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(texts[n].c_str()),
                             static_cast<DWORD>((texts[n].size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  RegCloseKey(key);
}

ServiceEnum::~ServiceEnum() {
  (void)RegDeleteTreeW(HKEY_LOCAL_MACHINE, (serviceKey_ + L"\\Enum").c_str());
  if (madeService_) (void)RegDeleteTreeW(HKEY_LOCAL_MACHINE, serviceKey_.c_str());
}

}  // namespace idtest
