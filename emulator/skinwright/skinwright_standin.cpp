// Stand-in for the external customizing tool, built once for 32-bit and once for 64-bit Windows.
// It only records that it was started: one line "<its own file name>|<working directory>"
// appended to the file named by PANELCAST_SKINWRIGHT_LOG (nothing when that is unset), then ends.
#include <windows.h>

namespace {

void AppendUtf8(HANDLE file, const wchar_t* text) {
  char bytes[4 * MAX_PATH];
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof(bytes), nullptr,
                                         nullptr);
  DWORD written = 0;
  if (length > 1) (void)WriteFile(file, bytes, static_cast<DWORD>(length - 1), &written, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t*, int) {
  wchar_t logPath[MAX_PATH];
  const DWORD logLength = GetEnvironmentVariableW(L"PANELCAST_SKINWRIGHT_LOG", logPath, MAX_PATH);
  if (logLength == 0 || logLength >= MAX_PATH) return 0;

  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const wchar_t* name = self;
  for (const wchar_t* c = self; *c; ++c) {
    if (*c == L'\\' || *c == L'/') name = c + 1;
  }
  wchar_t directory[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, directory);

  HANDLE file = CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  AppendUtf8(file, name);
  AppendUtf8(file, L"|");
  AppendUtf8(file, directory);
  AppendUtf8(file, L"\r\n");
  CloseHandle(file);
  return 0;
}
