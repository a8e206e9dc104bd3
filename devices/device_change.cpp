#include "devices/device_change.h"

#include <atomic>


namespace panelcast {
namespace {

std::atomic<HWND> g_target{nullptr};  // written by the main thread, read by the library's thread

}  // namespace

UINT DeviceChangeMessage() {
  static const UINT message = RegisterWindowMessageW(L"Panelcast.DeviceChange");
  return message;
}

void SetDeviceChangeTarget(HWND window) { g_target = window; }

void __stdcall OnDeviceChange(directoutput::DeviceHandle device, bool added, void* /*context*/) {
  if (HWND target = g_target.load()) {
    (void)PostMessageW(target, DeviceChangeMessage(), reinterpret_cast<WPARAM>(device),
                       added ? 1 : 0);
  }
}

}  // namespace panelcast
