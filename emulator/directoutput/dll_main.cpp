// Loading the library: settings come from the environment at once, so faults meant for
// Initialize, RegisterDeviceCallback or Enumerate are in place before the program's first call,
// and the control channel listens from the load on.
#include <windows.h>

#include <string>
#include <vector>

#include "emulator/directoutput/control_server.h"
#include "emulator/directoutput/emulator_config.h"
#include "emulator/directoutput/library.h"

namespace {

std::string Variable(const wchar_t* name) {
  wchar_t value[4096];
  DWORD length = GetEnvironmentVariableW(name, value, 4096);
  if (length == 0 || length >= 4096) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, value, static_cast<int>(length), nullptr, 0, nullptr,
                                 nullptr);
  std::string text(size > 0 ? size : 0, '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, value, static_cast<int>(length), text.data(), size, nullptr,
                        nullptr);
  }
  return text;
}

std::wstring WideVariable(const wchar_t* name) {
  wchar_t value[512];
  DWORD length = GetEnvironmentVariableW(name, value, 512);
  return length > 0 && length < 512 ? std::wstring(value, length) : std::wstring();
}

void LoadEmulator(HMODULE module) {
  // Pinned: the control channel and a callback still running outlive FreeLibrary, so the code
  // they run must stay mapped until the process ends.
  HMODULE pinned = nullptr;
  (void)GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(module), &pinned);
  emu::EnvironmentValues env;
  env.pipe = Variable(L"PANELCAST_EMU_PIPE");
  env.log = Variable(L"PANELCAST_EMU_LOG");
  env.panels = Variable(L"PANELCAST_EMU_PANELS");
  env.count = Variable(L"PANELCAST_EMU_COUNT");
  env.faults = Variable(L"PANELCAST_EMU_FAULTS");
  env.typeFails = Variable(L"PANELCAST_EMU_TYPE_FAILS");
  env.inactiveRefuses = Variable(L"PANELCAST_EMU_INACTIVE_REFUSES");
  env.setImageDelay = Variable(L"PANELCAST_EMU_SETIMAGE_DELAY");
  std::vector<std::string> problems;
  emu::EmulatorConfig config = emu::ParseConfig(env, problems);
  for (const std::string& problem : problems) {
    OutputDebugStringA(("panel emulator: ignored " + problem + "\n").c_str());
  }
  emu::Library::Get().Load(config);
  std::wstring pipe = WideVariable(L"PANELCAST_EMU_PIPE");
  if (!pipe.empty()) (void)emu::StartControlServer(pipe);  // without it, tests see no channel
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    LoadEmulator(instance);
  }
  return TRUE;
}
