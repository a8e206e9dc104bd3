// Framing of the control channel over a byte-mode named pipe opened for overlapped I/O.
// A request is a 32-bit length and that many bytes of command text; a reply is a 32-bit status
// (ReplyStatus), a 32-bit length and that many bytes of payload. All integers little-endian.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace emu {

enum ReplyStatus : uint32_t { kReplyOk = 0, kReplyRefused = 1, kReplyBadRequest = 2 };

inline constexpr uint32_t kMaxRequestBytes = 4096;
inline constexpr uint32_t kMaxReplyBytes = 256u << 20;

// Moves exactly `length` bytes, giving up after timeoutMs (INFINITE allowed); false on any error.
bool PipeRead(HANDLE pipe, void* buffer, uint32_t length, DWORD timeoutMs);
bool PipeWrite(HANDLE pipe, const void* buffer, uint32_t length, DWORD timeoutMs);

bool ReadRequest(HANDLE pipe, std::string& command);
bool WriteReply(HANDLE pipe, uint32_t status, const std::string& payload);

}  // namespace emu
