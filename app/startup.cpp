#include "app/startup.h"

#include "app/control_states.h"
#include "app/device_list_box.h"
#include "app/shell_state.h"
#include "app/stop_messages.h"
#include "base/messages.h"
#include "base/sent_message_wait.h"
#include "devices/device_change.h"
#include "devices/device_list.h"
#include "devices/identification.h"
#include "feeds/worker_supervision.h"
#include "panel_library/direct_output_binding.h"
#include "panel_library/library_session.h"
#include "resources/resource_ids.h"
#include "sim/simulator_feeder.h"

namespace panelcast {
namespace {

// Context given with the device-change and enumerate callbacks (8-bit text; nothing reads it).
char g_libraryContext[] = "Panelcast";

// The simulator tools' notice, shown on their worker thread, owned by the main window.
void TellSimulatorNotStarted() { (void)ShowMessageOwnedByMain(msg::kSimulatorNotStarted); }

INT_PTR Fail(HWND window, WPARAM wParam, const Message& message, bool deinitialize) {
  ShowMessage(window, message);
  if (deinitialize) DeinitializeLibraryOnce();
  EndMainWindow(window, wParam);
  return TRUE;
}

bool BindLibrary(HWND window, WPARAM wParam) {
  static wchar_t path[kLibraryPathChars];
  const LibraryPathOutcome outcome = ReadLibraryPath(path);
  if (outcome != LibraryPathOutcome::kRead) {
    if (outcome == LibraryPathOutcome::kKeyFailed) ShowMessageOwnedByMain(msg::kRegistryKeyFailed);
    Fail(window, wParam, msg::kLibraryNameFailed, false);
    return false;
  }
  Library().module = LoadLibraryW(path);
  if (!Library().module || !ResolveDirectOutput(Library().module)) {
    Fail(window, wParam, msg::kLibraryLoadFailed, false);
    return false;
  }
  return true;
}

}  // namespace

void EndMainWindow(HWND window, WPARAM result) {
  EndDialog(window, static_cast<INT_PTR>(result));
  PostQuitMessage(0);
}

INT_PTR RunStartup(HWND window, WPARAM wParam) {
  ShellState& shell = Shell();
  shell.mainWindow = window;
  ShowWindow(window, SW_SHOW);
  if (!BindLibrary(window, wParam)) return TRUE;
  SetWindowTextW(window, kMainWindowTitle);

  const DirectOutputApi& api = DirectOutput();
  if (api.Initialize(L"Panelcast") < 0) {
    return Fail(window, wParam, msg::kInitializeFailed, false);
  }
  Library().initialized = true;

  SetDeviceChangeTarget(window);
  if (api.RegisterDeviceCallback(OnDeviceChange, g_libraryContext) < 0) {
    return Fail(window, wParam, msg::kRegisterCallbackFailed, true);
  }
  if (!AllocateDeviceTables()) return Fail(window, wParam, msg::kMemoryFailed, true);
  ClearUsbServiceName();

  if (api.Enumerate(OnEnumerateDevice, g_libraryContext) < 0) {
    return Fail(window, wParam, msg::kEnumerateFailed, true);
  }
  if (Devices().count != 0 && !IdentifyDevices(Devices())) {
    ShowMessage(window, msg::kHardwareInfoFailed);
  }

  shell.startupComplete = 1;
  ApplyInitialControlState(window);
  RebuildDeviceList();
  RefreshControls(window);

  shell.perfWarningShown = 0;
  shell.pickerHintShown = 0;
  SetSimulatorAbsentNotice(TellSimulatorNotStarted);
  if (!StartDeadThreadWatcher(window)) {
    return Fail(window, wParam, msg::kWatcherStartFailed, true);
  }

  if (Devices().count != 0) {
    PostMessageW(GetDlgItem(window, IDC_DEVICE_LIST), LB_SETCURSEL, 0, 0);
  }
  PostMessageW(GetDlgItem(window, IDC_MODE_CUSTOMIZE), BM_SETCHECK, BST_CHECKED, 0);
  return TRUE;
}

void RunShutdown(HWND window, WPARAM result) {
  if (Devices().slots) StopAllWorkersTellingUser(window);
  DeinitializeLibraryOnce();
  EndMainWindow(window, result);
}

void RunSessionEnd(HWND window, WPARAM ending) {
  if (!ending) return;
  // Two seconds for the workers to blank and remove their pages, two for the library.
  StopAllWorkersForSessionEnd(2000);
  if (HANDLE deinitializing = StartDeinitializingLibrary()) {
    const bool returned = WaitServingSentMessages(deinitializing, 2000);
    CloseHandle(deinitializing);
    // A library still inside Deinitialize could not be unloaded safely; the session is ending,
    // so the process ends here rather than wait for it.
    if (!returned) TerminateProcess(GetCurrentProcess(), 0);
  }
  EndMainWindow(window, 0);
}

}  // namespace panelcast
