// What the simulator tools', the region picker's and the image show's end-to-end tests share: the
// simulator stand-in as a process of its own, the program's messages as boxes, and one run of the
// program with one panel that the cases of a test program share, with the client library's log.
#pragma once

#include <windows.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "base/messages.h"
#include "emulator/simulator/sim_link.h"
#include "tests/feeds/frame_checks.h"
#include "tests/live/live_test_support.h"

namespace simtest {

using Lines = std::vector<std::string>;
using shelltest::kTimeoutMs;
inline constexpr char kSerial[] = "EMU0001";

// A stand-in's log lines without their leading ticks.
inline Lines ReadLog(const std::wstring& path) {
  Lines lines;
  std::ifstream in(path.c_str());
  for (std::string line; std::getline(in, line);) {
    if (line.find('\t') != std::string::npos) lines.push_back(line.substr(line.find('\t') + 1));
  }
  return lines;
}

// A path in the temporary folder that no file has yet.
inline std::wstring FreshLog(const wchar_t* name) {
  static int count = 0;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path = temp + (name + std::to_wstring(GetCurrentProcessId())) + L"-" +
                            std::to_wstring(++count) + L".log";
  DeleteFileW(path.c_str());
  return path;
}

// bin/FSX.EXE, its log in a fresh file; ended (windows gone) with the object.
class Simulator {
 public:
  Simulator()
      : log_(FreshLog(L"panelcast-simulator-")),
        process_({{{simstandin::kSimulatorLogVariable, log_}}, L"FSX.EXE", {}}) {
    if (process_.Started()) {
      window_ = driver::WaitForWindow(simstandin::kWindowTitle, process_.Id(), kTimeoutMs);
    }
  }
  bool Started() const { return window_ != nullptr; }
  RECT ScreenRect() const {  // the GPS screen (the window's client area) in screen coordinates
    RECT client = {};
    GetClientRect(window_, &client);
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
  }
  Lines Log() const { return ReadLog(log_); }

 private:
  std::wstring log_;
  driver::Program process_;
  HWND window_ = nullptr;
};

inline shelltest::ExpectedBox Box(const panelcast::Message& message) {
  const UINT icon = message.style & MB_ICONMASK;
  return {message.title, message.text,
          icon == MB_ICONERROR     ? driver::BoxIcon::Error
          : icon == MB_ICONWARNING ? driver::BoxIcon::Warning
                                   : driver::BoxIcon::Information};
}

// Waits for a visible top-level window of `pid` with a child of class `className`, or with
// control `id` when that is null.
inline HWND WaitForWindowWith(DWORD pid, const wchar_t* className, int id = 0) {
  HWND found = nullptr;
  driver::WaitUntil([&] {
    for (found = GetTopWindow(nullptr); found; found = GetWindow(found, GW_HWNDNEXT)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(found, &owner);
      if (owner == pid && IsWindowVisible(found) &&
          (className ? FindWindowExW(found, nullptr, className, nullptr) : GetDlgItem(found, id))) {
        return true;
      }
    }
    return false;
  }, kTimeoutMs);
  return found;
}

// One run of bin/`exe` with one panel, past its start-up notice, moved to the bottom left of the
// screen (off the simulator's GPS at the top left and the test pictures), shared by the cases of
// a test program; the simulator stand-in runs or not as each case asks.
class ProgramRun : public ::testing::Test {
 protected:
  static void TearDownTestSuite() { run_.reset(), simulator_.reset(); }
  static bool Ready(bool simulator, const std::wstring& exe = L"Panelcast.exe",
                    driver::LaunchOptions options = {}) {
    if (!simulator) simulator_.reset();
    if (simulator && !simulator_) simulator_ = std::make_unique<Simulator>();
    if (simulator && !simulator_->Started()) return false;
    if (run_ && exe_ == exe && IsWindow(Main())) return true;
    run_.reset();
    exe_ = options.exeName = exe;
    libraryLog_ = FreshLog(L"panelcast-simconnect-");
    options.environment.emplace_back(simstandin::kLibraryLogVariable, libraryLog_);
    run_ = shelltest::StartWithPanels(L"EMU0001", true, options);
    if (!run_) return false;
    RECT outer = {};
    GetWindowRect(Main(), &outer);
    SetWindowPos(Main(), nullptr, 0, GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top),
                 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
  }
  static HWND Main() { return run_->mainWindow; }
  static DWORD Pid() { return run_->program->Id(); }
  static emu::PanelControl& Panel() { return *run_->panels; }
  static Simulator& Sim() { return *simulator_; }
  static Lines LibraryLog() { return ReadLog(libraryLog_); }
  // The panel's calls since its log was cleared, once there are `atLeast` of them.
  static Lines Calls(std::size_t atLeast = 0) {
    driver::WaitUntil([&] { return Panel().Log(kSerial).size() >= atLeast; }, kTimeoutMs);
    Lines calls;
    for (const auto& call : Panel().Log(kSerial)) calls.push_back(feeds_test::DescribeCall(call));
    return calls;
  }
  static uint32_t ImageCount(uint32_t page) { return livetest::ImageCount(Panel(), kSerial, page); }
  static bool WaitForFrames(uint32_t page, uint32_t count) {  // `count` more on `page`
    const uint32_t before = ImageCount(page);
    return driver::WaitUntil([&] { return ImageCount(page) >= before + count; }, kTimeoutMs, 50);
  }
  static bool Running(bool running) {  // waits until START and STOP show it
    return driver::WaitUntil([&] { return driver::IsEnabled(Main(), IDC_STOP) == running &&
                                          driver::IsEnabled(Main(), IDC_START) != running; },
                             kTimeoutMs);
  }
  static bool PressStop() { return driver::Click(Main(), IDC_STOP), Running(false); }

 private:
  static inline std::unique_ptr<driver::PanelSession> run_;
  static inline std::unique_ptr<Simulator> simulator_;
  static inline std::wstring exe_, libraryLog_;
};

}  // namespace simtest
