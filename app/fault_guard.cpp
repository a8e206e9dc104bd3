#include "app/fault_guard.h"

#include <windows.h>

#include <atomic>

#include "feeds/worker_supervision.h"
#include "panel_library/library_session.h"

namespace panelcast {
namespace {

// The whole last chance stays within about three seconds: the workers get one and a half to end
// their pages (the one that faulted is not waited for), the library as much to deinitialise.
constexpr DWORD kWorkersLimitMs = 1500;
constexpr DWORD kLibraryLimitMs = 1500;

std::atomic<bool> g_handlingFault{false};               // any thread that faults
LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter = nullptr;  // written once, before other threads

LONG WINAPI OnUnhandledFault(EXCEPTION_POINTERS* fault) {
  if (g_handlingFault.exchange(true)) {
    TerminateProcess(GetCurrentProcess(), fault->ExceptionRecord->ExceptionCode);
  }
  (void)StopAllWorkersWithin(kWorkersLimitMs);
  if (HANDLE deinitializing = StartDeinitializingLibrary()) {
    (void)WaitForSingleObject(deinitializing, kLibraryLimitMs);
    CloseHandle(deinitializing);
  }
  // What would have happened without the guard (the runtime's own filter, then the system's).
  return g_previousFilter ? g_previousFilter(fault) : EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void InstallFaultGuard() { g_previousFilter = SetUnhandledExceptionFilter(OnUnhandledFault); }

}  // namespace panelcast
