// Launching and ending programs, and the one-call start with emulated panels.
#include "tests/driver/program.h"

#include <tlhelp32.h>

#include <atomic>
#include <cwctype>
#include <fstream>
#include <map>

#include "tests/driver/controls.h"
#include "tests/driver/wait.h"
#if PANELCAST_HAVE_EMU_CONTROL
#include "tests/driver/panel_session.h"
#endif

namespace driver {
namespace {

std::atomic<unsigned> launchCounter{0};  // any test thread increments; makes names unique

std::wstring Lower(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

// "usb\\Panelcast.exe" -> "panelcast.exe": the process list carries file names only.
std::wstring FileNameOf(const std::wstring& path) {
  return Lower(path.substr(path.find_last_of(L"\\/") + 1));
}

// The value a variable of the options gets, nullptr when they leave it alone.
const std::wstring* Variable(const LaunchOptions& options, const wchar_t* name) {
  const std::wstring* found = nullptr;
  for (const auto& [n, value] : options.environment) {
    if (Lower(n) == Lower(name)) found = &value;  // the last one wins, as in the block
  }
  return found;
}

// The test's environment with the options' variables laid over it, as a CreateProcessW block.
std::vector<wchar_t> EnvironmentBlock(const LaunchOptions& options) {
  std::map<std::wstring, std::wstring> byKey;  // lower-case name -> "Name=value"
  if (wchar_t* env = GetEnvironmentStringsW()) {
    for (const wchar_t* p = env; *p; p += wcslen(p) + 1) {
      const std::wstring entry = p;
      const auto eq = entry.find(L'=', 1);  // "=C:=C:\..." entries start with '='
      if (eq != std::wstring::npos) byKey[Lower(entry.substr(0, eq))] = entry;
    }
    FreeEnvironmentStringsW(env);
  }
  for (const auto& [name, value] : options.environment) byKey[Lower(name)] = name + L"=" + value;
  std::vector<wchar_t> block;
  for (const auto& [key, entry] : byKey) {
    block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
  }
  block.push_back(L'\0');
  return block;
}

struct WindowSearch {
  DWORD pid;
  bool found;
};

BOOL CALLBACK MatchWindowProcess(HWND w, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  search->found = owner == search->pid;
  return !search->found;
}

}  // namespace

bool HasTopLevelWindow(DWORD pid) {
  WindowSearch search{pid, false};
  EnumWindows(MatchWindowProcess, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool On64BitSystem() {
  BOOL wow64 = FALSE;
  (void)IsWow64Process(GetCurrentProcess(), &wow64);
  return sizeof(void*) == 8 || wow64 != FALSE;
}

std::wstring TestProgramFolder() {
  wchar_t path[MAX_PATH];
  const std::wstring s(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return s.substr(0, s.find_last_of(L"\\/") + 1);
}

std::vector<DWORD> ProcessIdsNamed(const std::wstring& exeName) {
  std::vector<DWORD> ids;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snap, &entry); more; more = Process32NextW(snap, &entry)) {
    if (FileNameOf(entry.szExeFile) == FileNameOf(exeName)) ids.push_back(entry.th32ProcessID);
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
  for (DWORD pid : killed) (void)WaitUntil([pid] { return !HasTopLevelWindow(pid); }, timeoutMs);
  return static_cast<int>(killed.size());
}

Program::Program(LaunchOptions options) {
  wchar_t other[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(L"PANELCAST_TEST_PROGRAM", other, MAX_PATH);
  if (options.exeName == LaunchOptions{}.exeName && n > 0 && n < MAX_PATH) {
    options.exeName.assign(other, n);
  }
  exeName_ = options.exeName;
  const std::wstring serial =
      std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++launchCounter);
  if (!Variable(options, L"PANELCAST_EMU_PIPE")) {
    options.environment.emplace_back(
        L"PANELCAST_EMU_PIPE",
        L"\\\\.\\pipe\\panelcast-emu-" + serial + L"-" + std::to_wstring(GetTickCount()));
  }
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  tempFolder_ = base + (L"panelcast-test-" + serial);
  CreateDirectoryW(tempFolder_.c_str(), nullptr);
  if (!Variable(options, L"PANELCAST_EMU_LOG")) {
    // Process ids come round again under Wine, and with them folder names: start a fresh log.
    DeleteFileW((tempFolder_ + L"\\emulator.log").c_str());
    options.environment.emplace_back(L"PANELCAST_EMU_LOG", tempFolder_ + L"\\emulator.log");
  }
  pipeName_ = *Variable(options, L"PANELCAST_EMU_PIPE");
  logPath_ = *Variable(options, L"PANELCAST_EMU_LOG");

  const std::wstring exe = TestProgramFolder() + options.exeName;
  std::vector<wchar_t> env = EnvironmentBlock(options);
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
  DWORD code = 0;
  if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process_, &code)) {
    return std::nullopt;
  }
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
  std::ifstream in(logPath_.c_str());
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

#if PANELCAST_HAVE_EMU_CONTROL
std::unique_ptr<PanelSession> LaunchWithPanels(int count, LaunchOptions options, DWORD timeoutMs) {
  if (!Variable(options, L"PANELCAST_EMU_PANELS") && !Variable(options, L"PANELCAST_EMU_COUNT")) {
    options.environment.emplace_back(L"PANELCAST_EMU_COUNT", std::to_wstring(count));
  }
  auto session = std::make_unique<PanelSession>();
  session->program = std::make_unique<Program>(std::move(options));
  if (!session->program->Started()) return nullptr;
  session->panels = std::make_unique<emu::PanelControl>(session->program->PipeName());
  if (!session->panels->WaitForServer(timeoutMs)) return nullptr;
  session->mainWindow = WaitForWindow(L"Zivovi Panelcast", session->program->Id(), timeoutMs);
  return session->mainWindow ? std::move(session) : nullptr;
}
#endif

}  // namespace driver
