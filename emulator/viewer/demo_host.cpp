// PanelDemoHost: a stand-in for the program when there is none, so the viewer has something to
// show. It loads DirectOutput.dll from its own folder, takes page 1 of every panel with a test
// picture, and mirrors the buttons held in the lights. Runs until closed or killed.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "panel_library/direct_output_abi.h"

namespace {

directoutput::SetLedFn g_setLed = nullptr;  // resolved before any callback can come

void __stdcall OnButtons(void* device, DWORD buttons, void*) {
  for (DWORD n = 0; n < 6; ++n) g_setLed(device, 1, n + 1, (buttons >> (5 + n)) & 1);
}

std::vector<void*> g_devices;  // only the main thread's Enumerate call fills it

void __stdcall OnEnumerate(void* device, void*) { g_devices.push_back(device); }

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dll(path, length);
  dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"DirectOutput.dll";
  HMODULE library = LoadLibraryW(dll.c_str());
  if (library == nullptr) return 1;
  auto get = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(library, name)); };
  auto initialize = reinterpret_cast<directoutput::InitializeFn>(get("DirectOutput_Initialize"));
  auto enumerate = reinterpret_cast<directoutput::EnumerateFn>(get("DirectOutput_Enumerate"));
  auto addPage = reinterpret_cast<directoutput::AddPageFn>(get("DirectOutput_AddPage"));
  auto setImage = reinterpret_cast<directoutput::SetImageFn>(get("DirectOutput_SetImage"));
  auto onButtons = reinterpret_cast<directoutput::RegisterSoftButtonCallbackFn>(
      get("DirectOutput_RegisterSoftButtonCallback"));
  g_setLed = reinterpret_cast<directoutput::SetLedFn>(get("DirectOutput_SetLed"));
  if (initialize == nullptr || initialize(L"Panel demo") < 0) return 1;
  enumerate(&OnEnumerate, nullptr);
  std::vector<uint8_t> frame(230400);
  for (int y = 0; y < 240; ++y) {
    for (int x = 0; x < 320; ++x) {
      uint8_t* pixel = &frame[(y * 320 + x) * 3];  // blue, green, red; bottom row first
      pixel[0] = static_cast<uint8_t>(x * 255 / 319);
      pixel[1] = static_cast<uint8_t>(y * 255 / 239);
      pixel[2] = static_cast<uint8_t>(((x / 40 + y / 40) % 2) * 200);
    }
  }
  for (void* device : g_devices) {
    onButtons(device, &OnButtons, nullptr);
    addPage(device, 1, 1);
    addPage(device, 2, 0);
    setImage(device, 1, 0, 230400, frame.data());
    g_setLed(device, 1, 1, 1);
    g_setLed(device, 1, 4, 1);
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
