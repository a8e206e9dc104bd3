// The loaded panel library and whether it has been initialised: the library is deinitialised
// exactly once after a successful Initialize, however the program ends, a fault included.
#pragma once

#include <windows.h>

#include <atomic>

namespace panelcast {

struct LibrarySession {
  HMODULE module = nullptr;               // main thread
  std::atomic<bool> initialized{false};   // main thread sets it; whoever deinitialises clears it
};

LibrarySession& Library();

// Deinitialises the library if it is initialised; later calls do nothing. Main thread.
void DeinitializeLibraryOnce();

// The same from any thread, on a thread of its own, whose handle is returned for the caller to
// wait on as long as it can afford (null when there was nothing to do, or the call was made at
// once for want of a thread): a library that hangs or faults in Deinitialize then holds nobody
// past that (the end of the session, a fault's last chance).
HANDLE StartDeinitializingLibrary();

// Unloads the library if it was loaded (the entry point's clean-up).
void UnloadLibrary();

}  // namespace panelcast
