// Appending little- and big-endian integers to a byte buffer, for the file encoders.
#pragma once

#include <cstdint>
#include <vector>

namespace resgen {

using Bytes = std::vector<std::uint8_t>;

inline void PutLe16(Bytes& out, std::uint32_t v) {
  out.push_back(v & 0xFF), out.push_back((v >> 8) & 0xFF);
}
inline void PutLe32(Bytes& out, std::uint32_t v) { PutLe16(out, v & 0xFFFF), PutLe16(out, v >> 16); }
inline void PutBe32(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back((v >> shift) & 0xFF);
}

}  // namespace resgen
