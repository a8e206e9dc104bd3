// The program's entry point: one instance at a time, the main window as a modal dialog, and the
// clean-up once it has ended.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/fault_guard.h"
#include "app/main_window.h"
#include "app/shell_state.h"
#include "base/messages.h"
#include "devices/device_list.h"
#include "feeds/worker_supervision.h"
#include "images/gdiplus_image.h"
#include "panel_library/library_session.h"
#include "resources/resource_ids.h"

namespace pc = panelcast;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  pc::InstallFaultGuard();
  (void)CoInitialize(nullptr);
  pc::Shell().startupComplete = 0;

  if (pc::FindMainWindow()) {
    pc::ShowMessage(GetDesktopWindow(), pc::msg::kAlreadyRunning);
    CoUninitialize();
    return 1;
  }

  // The trackbar's window class comes from the common controls.
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  (void)InitCommonControlsEx(&controls);

  const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), GetDesktopWindow(),
                                         pc::MainWindowProc, 0);
  if (result == -1) {
    pc::ShowMessage(GetDesktopWindow(), pc::msg::kMainWindowFailed);
  } else {
    // The main window posted a quit message when it ended; run what is still queued until then.
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

  pc::UnloadLibrary();
  // No decoder runs any more; one ended by force may hold GDI+'s lock, so GDI+ is left then.
  if (!pc::AnyWorkerForced()) pc::ShutDownGdiplus();
  pc::FreeDeviceTables();
  CoUninitialize();
  return 0;
}
