// What the simulator tools' end-to-end tests share: the simulator stand-in as a process of its
// own (under any file name), the client library's and the simulator's logs, the program started
// with one panel and a simulator tool started through its window, and frame reading.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/driver/driver.h"

namespace simtest {

inline constexpr DWORD kTimeoutMs = 15000;
inline constexpr char kSerial[] = "EMU0001";

// Main window controls the tests use.
inline constexpr int kModeGps = 1015;
inline constexpr int kModeLiveView = 1016;
inline constexpr int kModeLiveMonitor = 1021;
inline constexpr int kStart = 1012;
inline constexpr int kStop = 1027;

// Log lines without their leading tick, and the ticks apart.
struct LogLine {
  DWORD tick = 0;
  std::string text;
};
std::vector<LogLine> ReadLog(const std::wstring& path);
std::vector<std::string> Texts(const std::vector<LogLine>& lines);

// A simulator stand-in process: bin/FSX.EXE copied as `fileName` into a fresh temporary folder
// (or run from bin/ when `fileName` is FSX.EXE and `copy` is false), its log in that folder.
class Simulator {
 public:
  explicit Simulator(const std::wstring& fileName = L"FSX.EXE", bool copy = false);
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  bool Started() const { return window_ != nullptr; }
  HWND Window() const { return window_; }
  // The GPS screen (the window's client area) in screen coordinates.
  RECT ScreenRect() const;
  void Stop();  // terminates it and waits until it has gone
  std::vector<LogLine> Log() const { return ReadLog(logPath_); }

 private:
  std::wstring folder_;
  std::wstring logPath_;
  HANDLE process_ = nullptr;
  HWND window_ = nullptr;
};

// The program with one panel, past the start-up notice; the library log named by the
// environment (PANELCAST_SIMCONNECT_LOG) in the session's temporary folder. `exeName` relative
// to bin/.
struct Session {
  std::unique_ptr<driver::PanelSession> panels;
  std::wstring libraryLogPath;
  HWND main() const { return panels->mainWindow; }
  DWORD pid() const { return panels->program->Id(); }
  emu::PanelControl& control() const { return *panels->panels; }
  std::vector<LogLine> LibraryLog() const { return ReadLog(libraryLogPath); }
};
std::unique_ptr<Session> StartProgram(const std::wstring& exeName = L"Panelcast.exe");

// The simulator stand-in running and the program started after it.
class SimulatorAndProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    simulator_ = std::make_unique<Simulator>();
    ASSERT_TRUE(simulator_->Started());
    session_ = StartProgram();
    ASSERT_TRUE(session_);
  }
  emu::PanelControl& Control() { return session_->control(); }

  std::unique_ptr<Simulator> simulator_;
  std::unique_ptr<Session> session_;
};

// Chooses the tool, types the rectangle into the four edits (as numbers, the way a user types
// them) and presses START. Returns false when the tool's radio button never took.
bool StartTool(const Session& session, int modeButton, const RECT& rect);
bool PressStop(const Session& session);  // STOP, then waits until START is enabled again

// The panel's calls as "Name arg=value ..." without the device and callback pointers.
std::vector<std::string> PanelCalls(emu::PanelControl& control, std::size_t from = 0);
std::size_t PanelCallCount(emu::PanelControl& control);

// Frames of a page: how many the page was sent, and waiting for `count` more.
uint32_t ImageCount(emu::PanelControl& control, uint32_t page);
bool WaitForFrames(emu::PanelControl& control, uint32_t page, uint32_t count,
                   DWORD timeoutMs = kTimeoutMs);

// A hint bitmap's pixels from bin/Panelcast.exe (bottom-up BGR, 230400 bytes).
std::vector<uint8_t> HintPixels(int bitmapId);
// True when the frame carries exactly the labels of `hints`.
::testing::AssertionResult CarriesLabels(const std::vector<uint8_t>& frame,
                                         const std::vector<uint8_t>& hints);

}  // namespace simtest
