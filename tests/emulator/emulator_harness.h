// Loads bin/DirectOutput.dll into the test process the way the program does (LoadLibraryW, then
// every entry point by its plain name), after setting the emulator's environment, and records
// what the library's callbacks report.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "panel_library/direct_output_api.h"

namespace emutest {

inline constexpr char kContext[] = "Zivovi Panelcast";

using Environment = std::vector<std::pair<std::wstring, std::wstring>>;

// Sets the variables, loads the library once per process and resolves all 22 entry points.
// Fails the test that calls first when anything is missing; later calls get the same table.
const panelcast::DirectOutputApi& LoadEmulator(const Environment& environment);
const panelcast::DirectOutputApi& Api();

// A name unique to this test process, e.g. a pipe name "\\.\pipe\panelcast-emu-<tag>-<pid>".
std::wstring UniquePipe(const wchar_t* tag);
std::wstring TempFile(const wchar_t* tag);
std::string Narrow(const std::wstring& text);

struct Event {
  enum class Kind { Enumerated, Arrived, Removed, Page, Buttons } kind;
  void* device = nullptr;
  DWORD page = 0;
  bool activated = false;
  DWORD buttons = 0;
  void* context = nullptr;
  DWORD thread = 0;
};

// Every callback of the library lands here; tests read it after the control command that caused
// it has returned, or wait for a count with a time-out.
class Recorder {
 public:
  static Recorder& Get();
  void Add(const Event& event);
  std::vector<Event> Take();  // returns and forgets what was recorded
  bool WaitForCount(std::size_t count, DWORD timeoutMs);

  static void __stdcall OnEnumerate(void* device, void* context);
  static void __stdcall OnDeviceChange(void* device, bool added, void* context);
  static void __stdcall OnPage(void* device, DWORD page, bool activated, void* context);
  static void __stdcall OnButtons(void* device, DWORD buttons, void* context);

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Event> events_;  // guarded by mutex_
};

}  // namespace emutest
