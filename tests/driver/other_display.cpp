#include "tests/driver/other_display.h"

#include <algorithm>

#include "tests/driver/program.h"
#include "tests/driver/wait.h"

namespace driver {
namespace {

// The Windows path of a Unix file (Wine's own export); empty when not under Wine.
std::wstring DosPath(const char* unixPath) {
  using ToDos = WCHAR* (*)(const char*);
  const auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  if (!toDos) return {};
  WCHAR* dos = toDos(unixPath);
  if (!dos) return {};
  std::wstring path = dos;
  HeapFree(GetProcessHeap(), 0, dos);
  return path;
}

// The Unix Wine loader that runs this test (WINELOADER, which wine sets).
std::wstring WineLoader() {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(L"WINELOADER", path, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(path, n) : L"/usr/bin/wine";
}

// The value of `name` in a CREATE_UNICODE_ENVIRONMENT block; empty when it is not there.
std::wstring BlockValue(const std::vector<wchar_t>& block, const std::wstring& name) {
  const std::wstring prefix = name + L"=";
  for (const wchar_t* entry = block.data(); *entry; entry += lstrlenW(entry) + 1) {
    if (CompareStringOrdinal(entry, static_cast<int>(prefix.size()), prefix.c_str(),
                             static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL) {
      return entry + prefix.size();
    }
  }
  return {};
}

}  // namespace

StartedProcess StartOnOtherDisplay(const std::wstring& exe, const std::wstring& arguments,
                                   std::vector<wchar_t>& environment, const std::wstring& folder,
                                   DWORD timeoutMs) {
  StartedProcess started;
  if (GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
    started.error = ERROR_FILE_NOT_FOUND;
    return started;
  }
  const std::wstring env = DosPath("/usr/bin/env");
  if (env.empty()) {
    started.error = ERROR_NOT_SUPPORTED;
    return started;
  }
  // Wine leaves WINEDLLOVERRIDES out of a Unix program's environment, so env sets it again; the
  // loader finds its own files from its argv[0], so that is its Unix path.
  std::wstring commandLine = L"/usr/bin/env";
  const std::wstring overrides = BlockValue(environment, L"WINEDLLOVERRIDES");
  if (!overrides.empty()) commandLine += L" \"WINEDLLOVERRIDES=" + overrides + L"\"";
  commandLine += L" \"" + WineLoader() + L"\" \"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;

  const std::vector<DWORD> before = ProcessIdsNamed(exe);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(env.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_UNICODE_ENVIRONMENT, environment.data(), folder.c_str(), &si, &pi)) {
    started.error = GetLastError();
    return started;
  }
  // What Wine hands back for a Unix program is not the Windows process we want.
  if (pi.hThread) CloseHandle(pi.hThread);
  if (pi.hProcess) CloseHandle(pi.hProcess);

  DWORD found = 0;
  (void)WaitUntil(
      [&] {
        for (DWORD pid : ProcessIdsNamed(exe)) {
          if (std::find(before.begin(), before.end(), pid) == before.end()) found = pid;
        }
        return found != 0;
      },
      timeoutMs);
  if (found) {
    started.process = OpenProcess(
        PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, found);
  }
  if (!started.process) {
    started.error = ERROR_TIMEOUT;
    return started;
  }
  started.id = found;
  return started;
}

}  // namespace driver
