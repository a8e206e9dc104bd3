#include "emulator/simulator/log_file.h"

namespace simstandin {

std::wstring LogPathFrom(const wchar_t* variable) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(variable, path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

void AppendLogLine(const std::wstring& path, const std::string& text) {
  if (path.empty()) return;
  const std::string line = std::to_string(GetTickCount()) + "\t" + text + "\n";
  // Two processes may append at once (two simulators in one test): FILE_APPEND_DATA keeps each
  // write whole at the end.
  const HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  (void)WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace simstandin
