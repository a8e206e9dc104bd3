// What the simulator tools' and the region picker's end-to-end tests share: the simulator stand-in
// as a process of its own (under any file name) and its log, and one run of the program with one
// panel that the cases of a test program share, with the client library's log.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "tests/driver/call_sequence.h"
#include "tests/driver/driver.h"

namespace simtest {

inline constexpr DWORD kTimeoutMs = 15000;
inline constexpr char kSerial[] = "EMU0001";

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
  RECT ScreenRect() const;  // the GPS screen (the window's client area) in screen coordinates
  void Stop();              // terminates it and waits until it has gone
  std::vector<LogLine> Log() const { return ReadLog(logPath_); }

 private:
  std::wstring folder_;
  std::wstring logPath_;
  HANDLE process_ = nullptr;
  HWND window_ = nullptr;
};

// What the client library and the panel were asked while something was done: the library's new
// log lines, the number of the next connection it opens, the panel's calls other than frames.
struct Effect {
  std::vector<LogLine> library;
  int connection = 0;
  std::vector<std::string> calls;
};

// One run of bin/`exe` with one panel, past its start-up notice, moved to the bottom left of the
// screen (off the simulator's GPS at the top left and the test pictures), shared by the cases of
// a test program; the simulator stand-in runs or not as each case asks.
class ProgramRun : public ::testing::Test {
 protected:
  static void TearDownTestSuite();
  // False when the program or the simulator did not come.
  static bool Ready(bool simulator, const std::wstring& exe = L"Panelcast.exe");

  static HWND Main();
  static DWORD Pid();
  static emu::PanelControl& Panel();
  static Simulator& Sim() { return *simulator_; }
  static std::vector<LogLine> LibraryLog();

  static std::vector<std::string> Calls(std::size_t from = 0);  // "Name arg=value ..."
  static uint32_t ImageCount(uint32_t page);
  static bool WaitForFrames(uint32_t page, uint32_t count);  // `count` more on `page`
  static bool PressStop();  // STOP, then waits until START is enabled again
  static Effect Observe(const std::function<void()>& action);

 private:
  static std::unique_ptr<driver::PanelSession> session_;
  static std::wstring exe_;
  static std::wstring libraryLog_;
  static std::unique_ptr<Simulator> simulator_;
};

// A hint bitmap's pixels from bin/Panelcast.exe (bottom-up BGR, 230400 bytes).
std::vector<uint8_t> HintPixels(int bitmapId);
// True when the frame carries exactly the labels of `hints`.
::testing::AssertionResult CarriesLabels(const std::vector<uint8_t>& frame,
                                         const std::vector<uint8_t>& hints);

}  // namespace simtest
