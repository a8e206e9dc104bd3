// The loaded panel library and whether it has been initialised: the library is deinitialised
// exactly once after a successful Initialize, however the program ends. Main thread.
#pragma once

#include <windows.h>

namespace panelcast {

struct LibrarySession {
  HMODULE module = nullptr;
  bool initialized = false;
};

LibrarySession& Library();

// Deinitialises the library if it is initialised; later calls do nothing.
void DeinitializeLibraryOnce();

// Unloads the library if it was loaded (the entry point's clean-up).
void UnloadLibrary();

}  // namespace panelcast
