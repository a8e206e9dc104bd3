#include "tests/emulator/emulator_harness.h"

#include <gtest/gtest.h>

namespace emutest {

namespace {

panelcast::DirectOutputApi g_api;  // filled once by LoadEmulator on the test's main thread
bool g_loaded = false;             // the same

template <typename Fn>
void Resolve(HMODULE module, const char* name, Fn& slot) {
  slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  EXPECT_NE(reinterpret_cast<void*>(slot), nullptr) << name << " is not exported by that name";
}

}  // namespace

const panelcast::DirectOutputApi& LoadEmulator(const Environment& environment) {
  if (g_loaded) return g_api;
  for (const auto& [name, value] : environment) {
    EXPECT_TRUE(SetEnvironmentVariableW(name.c_str(), value.c_str()));
  }
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dll(path, length);
  dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"DirectOutput.dll";
  HMODULE module = LoadLibraryW(dll.c_str());
  EXPECT_NE(module, nullptr) << "cannot load " << Narrow(dll);
  if (module == nullptr) return g_api;
  panelcast::DirectOutputApi& a = g_api;
  Resolve(module, "DirectOutput_Initialize", a.Initialize);
  Resolve(module, "DirectOutput_Deinitialize", a.Deinitialize);
  Resolve(module, "DirectOutput_RegisterDeviceCallback", a.RegisterDeviceCallback);
  Resolve(module, "DirectOutput_Enumerate", a.Enumerate);
  Resolve(module, "DirectOutput_RegisterPageCallback", a.RegisterPageCallback);
  Resolve(module, "DirectOutput_RegisterSoftButtonCallback", a.RegisterSoftButtonCallback);
  Resolve(module, "DirectOutput_GetDeviceType", a.GetDeviceType);
  Resolve(module, "DirectOutput_GetDeviceInstance", a.GetDeviceInstance);
  Resolve(module, "DirectOutput_SetProfile", a.SetProfile);
  Resolve(module, "DirectOutput_AddPage", a.AddPage);
  Resolve(module, "DirectOutput_RemovePage", a.RemovePage);
  Resolve(module, "DirectOutput_SetLed", a.SetLed);
  Resolve(module, "DirectOutput_SetString", a.SetString);
  Resolve(module, "DirectOutput_SetImage", a.SetImage);
  Resolve(module, "DirectOutput_SetImageFromFile", a.SetImageFromFile);
  Resolve(module, "DirectOutput_StartServer", a.StartServer);
  Resolve(module, "DirectOutput_CloseServer", a.CloseServer);
  Resolve(module, "DirectOutput_SendServerMsg", a.SendServerMsg);
  Resolve(module, "DirectOutput_SendServerFile", a.SendServerFile);
  Resolve(module, "DirectOutput_SaveFile", a.SaveFile);
  Resolve(module, "DirectOutput_DisplayFile", a.DisplayFile);
  Resolve(module, "DirectOutput_DeleteFile", a.DeleteFile);
  g_loaded = true;
  return g_api;
}

const panelcast::DirectOutputApi& Api() { return g_api; }

std::wstring UniquePipe(const wchar_t* tag) {
  return std::wstring(L"\\\\.\\pipe\\panelcast-emu-") + tag + L"-" +
         std::to_wstring(GetCurrentProcessId());
}

std::wstring TempFile(const wchar_t* tag) {
  wchar_t folder[MAX_PATH];
  DWORD length = GetTempPathW(MAX_PATH, folder);
  std::wstring path = std::wstring(folder, length) + L"panelcast-emu-" + tag + L"-" +
                      std::to_wstring(GetCurrentProcessId()) + L".log";
  DeleteFileW(path.c_str());
  return path;
}

std::string Narrow(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string narrow(size > 0 ? size : 0, '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), narrow.data(),
                        size, nullptr, nullptr);
  }
  return narrow;
}

Recorder& Recorder::Get() {
  static Recorder recorder;
  return recorder;
}

void Recorder::Add(const Event& event) {
  std::lock_guard<std::mutex> lock(mutex_);
  events_.push_back(event);
  changed_.notify_all();
}

std::vector<Event> Recorder::Take() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<Event> taken;
  taken.swap(events_);
  return taken;
}

bool Recorder::WaitForCount(std::size_t count, DWORD timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return events_.size() >= count; });
}

void __stdcall Recorder::OnEnumerate(void* device, void* context) {
  Get().Add({Event::Kind::Enumerated, device, 0, false, 0, context, GetCurrentThreadId()});
}

void __stdcall Recorder::OnDeviceChange(void* device, bool added, void* context) {
  Get().Add({added ? Event::Kind::Arrived : Event::Kind::Removed, device, 0, false, 0, context,
             GetCurrentThreadId()});
}

void __stdcall Recorder::OnPage(void* device, DWORD page, bool activated, void* context) {
  Get().Add({Event::Kind::Page, device, page, activated, 0, context, GetCurrentThreadId()});
}

void __stdcall Recorder::OnButtons(void* device, DWORD buttons, void* context) {
  Get().Add({Event::Kind::Buttons, device, 0, false, buttons, context, GetCurrentThreadId()});
}

}  // namespace emutest
