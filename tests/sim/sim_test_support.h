// What the simulator tools', the region picker's and the image show's tests share: the simulator
// stand-in, the program's messages as boxes, and one run of the program with one panel.
#pragma once

#include <windows.h>

#include <fstream>

#include "base/messages.h"
#include "emulator/simulator/sim_link.h"
#include "tests/feeds/frame_checks.h"
#include "tests/live/live_test_support.h"

namespace simtest {

using Lines = std::vector<std::string>;
using shelltest::kTimeoutMs;
inline constexpr char kSerial[] = "EMU0001";

// bin/FSX.EXE, ended (its window gone) with the object.
class Simulator {
 public:
  Simulator() : process_({{}, L"FSX.EXE"}) {
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

 private:
  driver::Program process_;
  HWND window_ = nullptr;
};

using shelltest::BoxOf;

// Waits for a visible top-level window of `pid` with a child of class `className`, or with
// control `id` when that is null.
inline HWND WaitForWindowWith(DWORD pid, const wchar_t* className, int id = 0) {
  HWND window = nullptr;
  const auto found = [&] {
    for (window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      const HWND child =
          className ? FindWindowExW(window, nullptr, className, nullptr) : GetDlgItem(window, id);
      if (owner == pid && IsWindowVisible(window) && child) return true;
    }
    return false;
  };
  driver::WaitUntil(found, kTimeoutMs);
  return window;
}

// One run of bin/`exe` with one panel past its start-up notice, which the cases of a test program
// share; the simulator stand-in runs or not as each case asks.
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
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    libraryLog_ =
        temp + (L"panelcast-simconnect-" + std::to_wstring(GetCurrentProcessId()) + L".log");
    DeleteFileW(libraryLog_.c_str());
    options.environment.emplace_back(simstandin::kLibraryLogVariable, libraryLog_);
    run_ = shelltest::StartWithPanels(L"EMU0001", true, options);
    return run_ != nullptr;
  }
  static HWND Main() { return run_->mainWindow; }
  static DWORD Pid() { return run_->program->Id(); }
  static emu::PanelControl& Panel() { return *run_->panels; }
  static Simulator& Sim() { return *simulator_; }
  static Lines LibraryLog() {  // without the lines' leading ticks
    Lines lines;
    std::ifstream in(libraryLog_.c_str());
    for (std::string line; std::getline(in, line);) {
      if (line.find('\t') != std::string::npos) lines.push_back(line.substr(line.find('\t') + 1));
    }
    return lines;
  }
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
  static bool Running(bool on) {  // waits until START and STOP show it
    return driver::WaitUntil([on] { return driver::IsEnabled(Main(), IDC_STOP) == on &&
                                           driver::IsEnabled(Main(), IDC_START) != on; },
                             kTimeoutMs);
  }
  static bool PressStop() { return driver::Click(Main(), IDC_STOP), Running(false); }

 private:
  static inline std::unique_ptr<driver::PanelSession> run_;
  static inline std::unique_ptr<Simulator> simulator_;
  static inline std::wstring exe_, libraryLog_;
};

}  // namespace simtest
