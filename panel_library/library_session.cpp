#include "panel_library/library_session.h"

#include "panel_library/direct_output_api.h"

namespace panelcast {
namespace {

LibrarySession g_library;

DWORD WINAPI DeinitializeOnItsOwnThread(void*) {
  (void)DirectOutput().Deinitialize();
  return 0;
}

}  // namespace

LibrarySession& Library() { return g_library; }

void DeinitializeLibraryOnce() {
  if (!g_library.initialized.exchange(false)) return;
  (void)DirectOutput().Deinitialize();
}

HANDLE StartDeinitializingLibrary() {
  if (!g_library.initialized.exchange(false)) return nullptr;
  HANDLE thread = CreateThread(nullptr, 0, DeinitializeOnItsOwnThread, nullptr, 0, nullptr);
  if (!thread) (void)DirectOutput().Deinitialize();
  return thread;
}

void UnloadLibrary() {
  if (g_library.module) FreeLibrary(g_library.module);
  g_library.module = nullptr;
}

}  // namespace panelcast
