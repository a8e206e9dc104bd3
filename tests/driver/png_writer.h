// Encodes pictures as PNG without any library: stored (uncompressed) deflate blocks, so the
// writer stays tiny and its output is exactly predictable. Pure code, no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace driver {

// A 24-bit picture in the Windows DIB layout that panel frames use: rows bottom-up, each pixel
// blue, green, red. `stride` is the byte distance between rows; 0 means width * 3.
// Returns an 8-bit RGB PNG, top row first; empty when the sizes are impossible.
std::vector<uint8_t> EncodePngFromBottomUpBgr(const uint8_t* pixels, int width, int height,
                                              std::size_t stride = 0);

// Checksums PNG and zlib need; exposed so tests can verify a file independently of its writer.
uint32_t Crc32(const uint8_t* data, std::size_t size);
uint32_t Adler32(const uint8_t* data, std::size_t size);

}  // namespace driver
