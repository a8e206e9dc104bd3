#include "app/tool_launch.h"

#include <shellapi.h>

#include "app/folder_selection.h"
#include "app/shell_state.h"
#include "base/messages.h"
#include "images/image_path.h"

namespace panelcast {
namespace {

using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE process, PBOOL wow64);

// Whether the system is 64-bit. A 64-bit program runs only on one; IsWow64Process would answer
// FALSE for it. A 32-bit program asks, looking the function up at run time since older systems
// lack it; without it the 32-bit tool is taken, after a notice.
bool RunsOn64BitSystem(HWND window) {
#if defined(_WIN64)
  (void)window;
  return true;
#else
  HMODULE kernel = GetModuleHandleW(L"kernel32");
  const auto isWow64 = kernel ? reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void*>(
                                    GetProcAddress(kernel, "IsWow64Process")))
                              : nullptr;
  if (!isWow64) {
    ShowMessage(window, msg::kArchitectureUnknown);
    return false;
  }
  BOOL wow64 = FALSE;
  (void)isWow64(GetCurrentProcess(), &wow64);  // on failure the flag stays 0: the 32-bit tool
  return wow64 != FALSE;
#endif
}

}  // namespace

void LaunchCustomizingTool(HWND window) {
  if (!EnsureToolFolder(window)) return;
  // The probe names are the files to start; which of the two the folder check found does not
  // matter.
  SetProbeNames(FolderFlow::kTool);
  const ShellState& shell = Shell();
  const wchar_t* name = RunsOn64BitSystem(window) ? shell.probeNameB : shell.probeNameA;
  // The tool is started by its full path in the chosen folder: a bare file name would also be
  // looked for beside this program and along the search path, and could start another copy.
  wchar_t file[kPathCapacity];
  const HINSTANCE started =
      JoinFolderAndName(shell.toolFolder, name, file, kPathCapacity)
          ? ShellExecuteW(window, L"open", file, nullptr, shell.toolFolder, SW_SHOWNORMAL)
          : nullptr;
  // Values up to 32 are error codes.
  if (reinterpret_cast<INT_PTR>(started) <= 32) ShowMessage(window, msg::kToolStartFailed);
}

}  // namespace panelcast
