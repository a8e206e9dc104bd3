#include "bench/process_cpu.h"

#include <windows.h>

#include <cstdlib>
#include <functional>
#include <sstream>
#include <vector>

#include "base/scoped_win.h"

namespace benchrig {
namespace {

using panelcast::ScopedHandle;

const wchar_t kProc[] = L"Z:\\proc\\";

// The whole file; /proc files tell no size, so it is read until it ends.
bool ReadWhole(const std::wstring& path, std::string& text) {
  ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return false;
  text.clear();
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr) && got > 0) {
    text.append(chunk, got);
  }
  return true;
}

// The first process folder for which `matches` holds, or empty.
std::wstring FindProcess(const std::function<bool(const std::wstring& folder)>& matches) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((std::wstring(kProc) + L"*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return {};
  std::wstring found;
  do {
    const std::wstring name = entry.cFileName;
    if (name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    if (matches(kProc + name)) found = kProc + name;
  } while (found.empty() && FindNextFileW(search, &entry));
  FindClose(search);
  return found;
}

}  // namespace

std::wstring OwnProcessFolder() {
  // A file of a name no other process has, mapped into ours for the search.
  wchar_t folder[MAX_PATH] = {};
  if (!GetTempPathW(MAX_PATH, folder)) return {};
  const std::wstring name = L"panelcast-bench-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(GetTickCount());
  ScopedHandle file(CreateFileW((folder + name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!file) return {};
  DWORD written = 0;
  if (!WriteFile(file.get(), "x", 1, &written, nullptr)) return {};  // an empty file maps not
  ScopedHandle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping) return {};
  const void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0);
  if (!view) return {};
  const std::string marker(name.begin(), name.end());
  const std::wstring own = FindProcess([&](const std::wstring& process) {
    std::string maps;
    return ReadWhole(process + L"\\maps", maps) && maps.find(marker) != std::string::npos;
  });
  UnmapViewOfFile(view);
  return own;
}

std::wstring XServerFolder(const std::string& display) {
  const std::string wanted = display.substr(0, display.find('.', display.find(':')));
  if (wanted.empty() || wanted[0] != ':') return {};  // a server elsewhere has no folder here
  return FindProcess([&](const std::wstring& process) {
    std::string line;
    if (!ReadWhole(process + L"\\cmdline", line)) return false;
    std::vector<std::string> arguments;
    for (size_t start = 0; start < line.size();) {
      const size_t end = line.find('\0', start);
      arguments.push_back(line.substr(start, end - start));
      start = end == std::string::npos ? line.size() : end + 1;
    }
    if (arguments.empty()) return false;
    const std::string& program = arguments[0];
    if (program.substr(program.find_last_of('/') + 1) != "Xvfb") return false;
    for (const std::string& argument : arguments) {
      if (argument == wanted) return true;
    }
    return false;
  });
}

long long ProcessCpuTicks(const std::wstring& folder) {
  std::string stat;
  if (folder.empty() || !ReadWhole(folder + L"\\stat", stat)) return -1;
  // The command name in brackets may hold spaces; the fields after it start at the 3rd, state.
  const size_t afterName = stat.rfind(')');
  if (afterName == std::string::npos) return -1;
  std::istringstream fields(stat.substr(afterName + 1));
  std::string field;
  long long utime = -1, stime = -1;
  for (int number = 3; number <= 15 && fields >> field; ++number) {
    if (number == 14) utime = std::atoll(field.c_str());
    if (number == 15) stime = std::atoll(field.c_str());
  }
  return utime < 0 || stime < 0 ? -1 : utime + stime;
}

}  // namespace benchrig
