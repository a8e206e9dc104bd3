#include "devices/library_session.h"

#include "devices/direct_output_api.h"

namespace panelcast {
namespace {

LibrarySession g_library;  // main thread

}  // namespace

LibrarySession& Library() { return g_library; }

void DeinitializeLibraryOnce() {
  if (!g_library.initialized) return;
  g_library.initialized = false;
  (void)DirectOutput().Deinitialize();
}

void UnloadLibrary() {
  if (g_library.module) FreeLibrary(g_library.module);
  g_library.module = nullptr;
}

}  // namespace panelcast
