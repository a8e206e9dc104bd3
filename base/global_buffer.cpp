#include "base/global_buffer.h"

#include <atomic>

namespace panelcast {
namespace {

std::atomic<int> g_failuresToInject{0};  // written by tests, taken by any allocating thread

bool TakeInjectedFailure() {
  int left = g_failuresToInject.load();
  while (left > 0) {
    if (g_failuresToInject.compare_exchange_weak(left, left - 1)) return true;
  }
  return false;
}

}  // namespace

bool GlobalBuffer::Allocate(std::size_t bytes) {
  Release();
  if (bytes == 0 || TakeInjectedFailure()) return false;
  handle_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (!handle_) return false;
  data_ = static_cast<uint8_t*>(GlobalLock(handle_));
  if (!data_) {
    Release();
    return false;
  }
  size_ = bytes;
  return true;
}

void GlobalBuffer::Release() {
  if (data_) GlobalUnlock(handle_);
  if (handle_) GlobalFree(handle_);
  handle_ = nullptr;
  data_ = nullptr;
  size_ = 0;
}

void FailGlobalBufferAllocationsForTesting(int count) { g_failuresToInject = count; }

}  // namespace panelcast
