// A zero-filled block of movable global memory, locked for as long as the object lives.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace panelcast {

class GlobalBuffer {
 public:
  GlobalBuffer() = default;
  ~GlobalBuffer() { Release(); }
  GlobalBuffer(const GlobalBuffer&) = delete;
  GlobalBuffer& operator=(const GlobalBuffer&) = delete;

  // False when the memory cannot be had (or `bytes` is 0); the buffer is then empty.
  bool Allocate(std::size_t bytes);
  void Release();

  uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  HGLOBAL handle_ = nullptr;
  uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

// Makes the next `count` allocations of any thread fail, so tests can show what a feeder does
// without its buffers.
void FailGlobalBufferAllocationsForTesting(int count);

}  // namespace panelcast
