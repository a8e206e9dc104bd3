// Starting the program under test (bin/Panelcast.exe beside the test) with the emulator's
// configuration in its environment, and making sure it is gone when the test ends.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace driver {

struct LaunchOptions {
  // Set in the child's environment on top of the test's own (same name: replaced), e.g.
  // {L"PANELCAST_EMU_COUNT", L"2"} or {L"PANELCAST_EMU_FAULTS", L"Initialize=0x80004005"}.
  std::vector<std::pair<std::wstring, std::wstring>> environment;
  // Looked up beside the test program. PANELCAST_TEST_PROGRAM, when set, stands in for this
  // default: another copy of the program, relative to the test's folder (the unpacked release).
  std::wstring exeName = L"Panelcast.exe";
  std::wstring arguments;                   // command-line tail; the program itself takes none
};

// One run of a program. Each launch gets its own control pipe name (PANELCAST_EMU_PIPE) and its
// own emulator log in a fresh temporary folder (PANELCAST_EMU_LOG), unless the options set them.
// The destructor kills the process, every other process of the same exe, and waits until
// their windows are gone: a failed test never leaves a window that the next one would take
// for a running copy.
class Program {
 public:
  explicit Program(LaunchOptions options = {});
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Started() const { return process_ != nullptr; }
  DWORD StartError() const { return startError_; }  // GetLastError of a failed CreateProcessW
  HANDLE Handle() const { return process_; }
  DWORD Id() const { return processId_; }
  const std::wstring& PipeName() const { return pipeName_; }
  const std::wstring& LogPath() const { return logPath_; }
  const std::wstring& TempFolder() const { return tempFolder_; }

  // The exit code once the process has ended within `timeoutMs`, nothing otherwise.
  std::optional<DWORD> WaitForExit(DWORD timeoutMs);
  bool Running() const;

  // Ends the process and what it left (see the destructor).
  void Kill();

  // The emulator's call log as written so far (it outlives the process), one entry per line.
  std::vector<std::string> LogLines() const;

 private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  DWORD startError_ = 0;
  std::wstring exeName_;
  std::wstring pipeName_;
  std::wstring logPath_;
  std::wstring tempFolder_;
};

// Folder of the running test program, with a trailing backslash.
std::wstring TestProgramFolder();

// Whether the system is 64-bit. The program under test has the test's bitness: a 64-bit program,
// or a 32-bit one under WOW64.
bool On64BitSystem();

// True while the process owns a top-level window (visible or not).
bool HasTopLevelWindow(DWORD pid);

// Ids of the prefix's processes whose file name is that of `exeName` (case-insensitive, folders
// ignored).
std::vector<DWORD> ProcessIdsNamed(const std::wstring& exeName);

// Terminates every process of the prefix whose file name is that of `exeName` (case-insensitive,
// folders ignored: "usb\\Panelcast.exe" matches every Panelcast.exe) and waits until their
// top-level windows are gone. Returns how many were terminated.
int KillProcessesNamed(const std::wstring& exeName, DWORD timeoutMs = 5000);

}  // namespace driver
