#include "emulator/directoutput/browser_agent.h"

#include <windows.h>
#include <shlobj.h>

namespace emu {
namespace {

// A dialog of this process that holds a tree view: the shell's folder browser.
BOOL CALLBACK FindBrowser(HWND window, LPARAM found) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (pid == GetCurrentProcessId() && IsWindowVisible(window) &&
      lstrcmpW(className, L"#32770") == 0 &&
      FindWindowExW(window, nullptr, L"SysTreeView32", nullptr)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

// "::{GUID}" names a shell folder that has no file-system path; it is selected by its item list,
// since the browser's string form of the selection is meant for file-system paths.
bool IsShellFolderName(const wchar_t* path) { return path[0] == L':' && path[1] == L':'; }

bool SelectShellFolder(HWND browser, const wchar_t* name) {
  PIDLIST_ABSOLUTE item = nullptr;
  if (FAILED(SHParseDisplayName(name, nullptr, &item, 0, nullptr)) || !item) return false;
  SendMessageW(browser, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(item));
  ILFree(item);  // the shell's own release of an item list; keeps ole32 out of the library
  return true;
}

}  // namespace

bool SelectInFolderBrowser(const std::string& utf8Path) {
  HWND browser = nullptr;
  EnumWindows(FindBrowser, reinterpret_cast<LPARAM>(&browser));
  if (!browser) return false;
  wchar_t path[MAX_PATH] = {};
  if (!utf8Path.empty() &&
      MultiByteToWideChar(CP_UTF8, 0, utf8Path.c_str(), -1, path, MAX_PATH) == 0) {
    return false;
  }
  if (IsShellFolderName(path)) return SelectShellFolder(browser, path);
  SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(path));
  return true;
}

}  // namespace emu
