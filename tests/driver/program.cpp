#include "tests/driver/program.h"

#include <tlhelp32.h>

#include <atomic>
#include <cwctype>
#include <fstream>
#include <map>

#include "tests/driver/other_display.h"
#include "tests/driver/wait.h"

namespace driver {
namespace {

std::atomic<unsigned> launchCounter{0};  // any test thread increments; makes names unique

std::wstring Lower(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

// "usb\\Panelcast.exe" -> "Panelcast.exe": the process list carries file names only.
std::wstring FileNameOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The test's environment with `extra` laid over it, as a CreateProcessW block.
std::vector<wchar_t> EnvironmentBlock(const std::vector<std::pair<std::wstring, std::wstring>>& extra) {
  std::map<std::wstring, std::wstring> byKey;  // lower-case name -> "Name=value"
  if (wchar_t* env = GetEnvironmentStringsW()) {
    for (const wchar_t* p = env; *p; p += wcslen(p) + 1) {
      std::wstring entry = p;
      const auto eq = entry.find(L'=', 1);  // "=C:=C:\..." entries start with '='
      if (eq == std::wstring::npos) continue;
      byKey[Lower(entry.substr(0, eq))] = entry;
    }
    FreeEnvironmentStringsW(env);
  }
  for (const auto& [name, value] : extra) byKey[Lower(name)] = name + L"=" + value;
  std::vector<wchar_t> block;
  for (const auto& [key, entry] : byKey) {
    block.insert(block.end(), entry.begin(), entry.end());
    block.push_back(L'\0');
  }
  block.push_back(L'\0');
  return block;
}

bool HasVariable(const LaunchOptions& options, const wchar_t* name) {
  for (const auto& [n, v] : options.environment) {
    if (Lower(n) == Lower(name)) return true;
  }
  return false;
}

std::wstring NewTempFolder(unsigned serial) {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  const std::wstring folder = std::wstring(base) + L"panelcast-test-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(serial);
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

struct WindowSearch {
  DWORD pid;
  bool found;
};

BOOL CALLBACK MatchWindowProcess(HWND w, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  if (owner == search->pid) search->found = true;
  return !search->found;
}

}  // namespace

bool HasTopLevelWindow(DWORD pid) {
  WindowSearch search{pid, false};
  EnumWindows(MatchWindowProcess, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring SixteenBitDisplay() {
  wchar_t value[64] = {};
  const DWORD n = GetEnvironmentVariableW(L"PANELCAST_DISPLAY16", value, 64);
  return n > 0 && n < 64 ? std::wstring(value, n) : std::wstring();
}

bool On64BitSystem() {
  BOOL wow64 = FALSE;
  (void)IsWow64Process(GetCurrentProcess(), &wow64);
  return sizeof(void*) == 8 || wow64 != FALSE;
}

std::wstring TestProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring s(path, n);
  return s.substr(0, s.find_last_of(L"\\/") + 1);
}

std::vector<DWORD> ProcessIdsNamed(const std::wstring& exeName) {
  const std::wstring wanted = Lower(FileNameOf(exeName));
  std::vector<DWORD> ids;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snap, &entry); more; more = Process32NextW(snap, &entry)) {
    if (Lower(FileNameOf(entry.szExeFile)) == wanted) ids.push_back(entry.th32ProcessID);
  }
  CloseHandle(snap);
  return ids;
}

int KillProcessesNamed(const std::wstring& exeName, DWORD timeoutMs) {
  std::vector<DWORD> killed;
  for (DWORD pid : ProcessIdsNamed(exeName)) {
    if (HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
      if (TerminateProcess(p, 1)) killed.push_back(pid);
      (void)WaitForSingleObject(p, timeoutMs);
      CloseHandle(p);
    }
  }
  for (DWORD pid : killed) {
    (void)WaitUntil([pid] { return !HasTopLevelWindow(pid); }, timeoutMs);
  }
  return static_cast<int>(killed.size());
}

Program::Program(LaunchOptions options) {
  if (options.exeName == LaunchOptions{}.exeName) {
    wchar_t other[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(L"PANELCAST_TEST_PROGRAM", other, MAX_PATH);
    if (n > 0 && n < MAX_PATH) options.exeName.assign(other, n);
  }
  exeName_ = options.exeName;
  const unsigned serial = ++launchCounter;
  if (!HasVariable(options, L"PANELCAST_EMU_PIPE")) {
    pipeName_ = L"\\\\.\\pipe\\panelcast-emu-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(serial) + L"-" + std::to_wstring(GetTickCount());
    options.environment.emplace_back(L"PANELCAST_EMU_PIPE", pipeName_);
  }
  tempFolder_ = NewTempFolder(serial);
  if (!HasVariable(options, L"PANELCAST_EMU_LOG")) {
    logPath_ = tempFolder_ + L"\\emulator.log";
    // Process ids come round again under Wine, and with them folder names: start a fresh log.
    DeleteFileW(logPath_.c_str());
    options.environment.emplace_back(L"PANELCAST_EMU_LOG", logPath_);
  }
  for (const auto& [name, value] : options.environment) {
    if (Lower(name) == L"panelcast_emu_pipe") pipeName_ = value;
    if (Lower(name) == L"panelcast_emu_log") logPath_ = value;
  }

  const std::wstring exe = TestProgramFolder() + options.exeName;
  std::vector<wchar_t> env = EnvironmentBlock(options.environment);
  if (HasVariable(options, L"DISPLAY")) {
    const StartedProcess started =
        StartOnOtherDisplay(exe, options.arguments, env, TestProgramFolder(), 15000);
    process_ = started.process;
    processId_ = started.id;
    startError_ = started.error;
    return;
  }
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!options.arguments.empty()) commandLine += L" " + options.arguments;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_UNICODE_ENVIRONMENT, env.data(), TestProgramFolder().c_str(), &si,
                      &pi)) {
    startError_ = GetLastError();
    return;
  }
  CloseHandle(pi.hThread);
  process_ = pi.hProcess;
  processId_ = pi.dwProcessId;
}

Program::~Program() {
  Kill();
  if (process_) CloseHandle(process_);
}

std::optional<DWORD> Program::WaitForExit(DWORD timeoutMs) {
  if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (!GetExitCodeProcess(process_, &code)) return std::nullopt;
  return code;
}

bool Program::Running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void Program::Kill() {
  if (Running()) {
    (void)TerminateProcess(process_, 1);
    (void)WaitForSingleObject(process_, 5000);
  }
  if (process_) {
    const DWORD pid = processId_;
    (void)WaitUntil([pid] { return !HasTopLevelWindow(pid); }, 5000);
  }
  // A second copy started by the test, or one its run left behind.
  (void)KillProcessesNamed(exeName_);
}

std::vector<std::string> Program::LogLines() const {
  std::vector<std::string> lines;
  if (logPath_.empty()) return lines;
  std::ifstream in(logPath_.c_str());
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace driver
