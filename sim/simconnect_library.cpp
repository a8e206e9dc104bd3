#include "sim/simconnect_library.h"

namespace panelcast {
namespace {

INIT_ONCE loadOnce = INIT_ONCE_STATIC_INIT;
SimConnectApi api;          // written once inside loadOnce, read-only afterwards
bool apiComplete = false;   // likewise

// Loads the library inside an activation context made from the program's manifest resource 2,
// which names the assembly; the library stays loaded for the rest of the run.
HMODULE LoadFromAssembly() {
  ACTCTXW context = {};
  context.cbSize = sizeof(context);
  context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
  context.hModule = GetModuleHandleW(nullptr);
  context.lpResourceName = MAKEINTRESOURCEW(simconnect::kAssemblyManifestId);
  const HANDLE activationContext = CreateActCtxW(&context);
  if (activationContext == INVALID_HANDLE_VALUE) return nullptr;
  HMODULE library = nullptr;
  ULONG_PTR cookie = 0;
  if (ActivateActCtx(activationContext, &cookie)) {
    library = LoadLibraryW(simconnect::kLibraryFile);
    (void)DeactivateActCtx(0, cookie);
  }
  ReleaseActCtx(activationContext);  // the loaded library keeps what it needs
  return library;
}

template <typename Fn>
bool Resolve(HMODULE library, const char* name, Fn& out) {
  out = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  return out != nullptr;
}

BOOL CALLBACK LoadOnce(PINIT_ONCE, void*, void**) {
  const HMODULE library = LoadFromAssembly();
  if (!library) return TRUE;  // answered once: without the library, buttons send nothing
  apiComplete = Resolve(library, "SimConnect_Open", api.Open) &&
                Resolve(library, "SimConnect_MapClientEventToSimEvent",
                        api.MapClientEventToSimEvent) &&
                Resolve(library, "SimConnect_TransmitClientEvent", api.TransmitClientEvent) &&
                Resolve(library, "SimConnect_Close", api.Close);
  return TRUE;
}

}  // namespace

const SimConnectApi* SimConnect() {
  (void)InitOnceExecuteOnce(&loadOnce, LoadOnce, nullptr, nullptr);
  return apiComplete ? &api : nullptr;
}

}  // namespace panelcast
