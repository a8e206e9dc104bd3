#include "emulator/control/pipe_io.h"

namespace emu {

namespace {

// Closes the event of one overlapped transfer on every path.
struct TransferEvent {
  HANDLE handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ~TransferEvent() {
    if (handle != nullptr) CloseHandle(handle);
  }
};

bool Transfer(HANDLE pipe, bool write, void* buffer, uint32_t length, DWORD timeoutMs) {
  TransferEvent event;
  if (event.handle == nullptr) return false;
  auto* bytes = static_cast<uint8_t*>(buffer);
  while (length > 0) {
    OVERLAPPED overlapped = {};
    overlapped.hEvent = event.handle;
    DWORD done = 0;
    BOOL ok = write ? WriteFile(pipe, bytes, length, nullptr, &overlapped)
                    : ReadFile(pipe, bytes, length, nullptr, &overlapped);
    if (!ok && GetLastError() != ERROR_IO_PENDING) return false;
    if (WaitForSingleObject(event.handle, timeoutMs) != WAIT_OBJECT_0) {
      CancelIo(pipe);
      (void)GetOverlappedResult(pipe, &overlapped, &done, TRUE);  // let the cancel finish
      return false;
    }
    if (!GetOverlappedResult(pipe, &overlapped, &done, FALSE) || done == 0) return false;
    bytes += done;
    length -= done;
  }
  return true;
}

}  // namespace

bool PipeRead(HANDLE pipe, void* buffer, uint32_t length, DWORD timeoutMs) {
  return Transfer(pipe, false, buffer, length, timeoutMs);
}

bool PipeWrite(HANDLE pipe, const void* buffer, uint32_t length, DWORD timeoutMs) {
  return Transfer(pipe, true, const_cast<void*>(buffer), length, timeoutMs);
}

bool ReadRequest(HANDLE pipe, std::string& command) {
  uint32_t length = 0;
  if (!PipeRead(pipe, &length, sizeof length, INFINITE) || length > kMaxRequestBytes) return false;
  command.assign(length, '\0');
  return length == 0 || PipeRead(pipe, command.data(), length, 10000);
}

bool WriteReply(HANDLE pipe, uint32_t status, const std::string& payload) {
  uint32_t head[2] = {status, static_cast<uint32_t>(payload.size())};
  return PipeWrite(pipe, head, sizeof head, 30000) &&
         (payload.empty() ||
          PipeWrite(pipe, payload.data(), static_cast<uint32_t>(payload.size()), 30000));
}

}  // namespace emu
