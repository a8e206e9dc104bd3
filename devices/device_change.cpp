#include "devices/device_change.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace panelcast {
namespace {

std::atomic<HWND> g_target{nullptr};  // written by the main thread, read by the library's thread

// Removals posted and not yet handled, one entry each: the library's thread adds, the main
// thread looks and takes away.
std::mutex g_pendingLock;
std::vector<directoutput::DeviceHandle> g_pendingRemovals;  // guarded by g_pendingLock

}  // namespace

UINT DeviceChangeMessage() {
  static const UINT message = RegisterWindowMessageW(L"Panelcast.DeviceChange");
  return message;
}

void SetDeviceChangeTarget(HWND window) { g_target = window; }

void __stdcall OnDeviceChange(directoutput::DeviceHandle device, bool added, void* /*context*/) {
  HWND target = g_target.load();
  if (!target) return;
  // Noted before the post, so the main thread never handles a removal it has not heard of.
  if (!added) {
    std::lock_guard<std::mutex> lock(g_pendingLock);
    g_pendingRemovals.push_back(device);
  }
  if (!PostMessageW(target, DeviceChangeMessage(), reinterpret_cast<WPARAM>(device), added ? 1 : 0) &&
      !added) {
    RemovalHandled(device);
  }
}

bool RemovalPending(directoutput::DeviceHandle device) {
  std::lock_guard<std::mutex> lock(g_pendingLock);
  return std::find(g_pendingRemovals.begin(), g_pendingRemovals.end(), device) !=
         g_pendingRemovals.end();
}

void RemovalHandled(directoutput::DeviceHandle device) {
  std::lock_guard<std::mutex> lock(g_pendingLock);
  const auto found = std::find(g_pendingRemovals.begin(), g_pendingRemovals.end(), device);
  if (found != g_pendingRemovals.end()) g_pendingRemovals.erase(found);
}

}  // namespace panelcast
