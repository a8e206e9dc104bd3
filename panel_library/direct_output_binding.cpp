#include "panel_library/direct_output_binding.h"

#include <cstring>

namespace panelcast {
namespace {

DirectOutputApi g_api;  // written once by ResolveDirectOutput, read-only afterwards

template <typename Fn>
void Resolve(HMODULE library, const char* name, Fn& slot) {
  slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

const DirectOutputApi& DirectOutput() { return g_api; }

LibraryPathOutcome ReadLibraryPath(wchar_t (&path)[kLibraryPathChars]) {
  std::memset(path, 0, sizeof(path));
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Zivovi\\DirectOutput", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return LibraryPathOutcome::kKeyFailed;
  }
  // Any value type is taken as text; the unit after the 4096 bytes stays for the terminator.
  DWORD bytes = kLibraryPathBytes;
  const LONG status =
      RegQueryValueExW(key, L"DirectOutput", nullptr, nullptr, reinterpret_cast<BYTE*>(path), &bytes);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) {
    std::memset(path, 0, sizeof(path));
    return LibraryPathOutcome::kNoValue;
  }
  path[kLibraryPathChars - 1] = L'\0';
  if (bytes / sizeof(wchar_t) < kLibraryPathChars) path[bytes / sizeof(wchar_t)] = L'\0';
  return path[0] != L'\0' ? LibraryPathOutcome::kRead : LibraryPathOutcome::kNoValue;
}

bool ResolveDirectOutput(HMODULE library) {
  Resolve(library, "DirectOutput_Initialize", g_api.Initialize);
  Resolve(library, "DirectOutput_Deinitialize", g_api.Deinitialize);
  Resolve(library, "DirectOutput_RegisterDeviceCallback", g_api.RegisterDeviceCallback);
  Resolve(library, "DirectOutput_Enumerate", g_api.Enumerate);
  Resolve(library, "DirectOutput_RegisterPageCallback", g_api.RegisterPageCallback);
  Resolve(library, "DirectOutput_RegisterSoftButtonCallback", g_api.RegisterSoftButtonCallback);
  Resolve(library, "DirectOutput_GetDeviceType", g_api.GetDeviceType);
  Resolve(library, "DirectOutput_GetDeviceInstance", g_api.GetDeviceInstance);
  Resolve(library, "DirectOutput_SetProfile", g_api.SetProfile);
  Resolve(library, "DirectOutput_AddPage", g_api.AddPage);
  Resolve(library, "DirectOutput_RemovePage", g_api.RemovePage);
  Resolve(library, "DirectOutput_SetLed", g_api.SetLed);
  Resolve(library, "DirectOutput_SetString", g_api.SetString);
  Resolve(library, "DirectOutput_SetImage", g_api.SetImage);
  Resolve(library, "DirectOutput_SetImageFromFile", g_api.SetImageFromFile);
  Resolve(library, "DirectOutput_StartServer", g_api.StartServer);
  Resolve(library, "DirectOutput_CloseServer", g_api.CloseServer);
  Resolve(library, "DirectOutput_SendServerMsg", g_api.SendServerMsg);
  Resolve(library, "DirectOutput_SendServerFile", g_api.SendServerFile);
  Resolve(library, "DirectOutput_SaveFile", g_api.SaveFile);
  Resolve(library, "DirectOutput_DisplayFile", g_api.DisplayFile);
  Resolve(library, "DirectOutput_DeleteFile", g_api.DeleteFile);
  return g_api.Initialize && g_api.Deinitialize && g_api.RegisterDeviceCallback &&
         g_api.Enumerate && g_api.RegisterPageCallback && g_api.RegisterSoftButtonCallback &&
         g_api.GetDeviceType && g_api.AddPage && g_api.RemovePage && g_api.SetLed && g_api.SetImage;
}

}  // namespace panelcast
