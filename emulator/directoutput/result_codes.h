// Results the emulated library answers, as plain integers so the panel model stays free of
// Windows headers (the library checks them against panel_library/direct_output_abi.h).
#pragma once

#include <cstdint>

namespace emu::codes {

inline constexpr int32_t kOk = 0;
inline constexpr int32_t kFail = static_cast<int32_t>(0x80004005u);            // E_FAIL
inline constexpr int32_t kHandle = static_cast<int32_t>(0x80070006u);          // E_HANDLE
inline constexpr int32_t kInvalidArg = static_cast<int32_t>(0x80070057u);      // E_INVALIDARG
inline constexpr int32_t kNotImplemented = static_cast<int32_t>(0x80004001u);  // E_NOTIMPL
inline constexpr int32_t kPageNotActive = static_cast<int32_t>(0xFF040001u);
inline constexpr int32_t kBufferTooSmall = static_cast<int32_t>(0xFF04006Fu);

}  // namespace emu::codes
