#include "tools/resgen/png_file.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace resgen {
namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(const Bytes& data) {
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : data) a = (a + byte) % 65521, b = (b + a) % 65521;
  return (b << 16) | a;
}

void PutChunk(Bytes& out, std::string_view type, const Bytes& body) {
  PutBe32(out, static_cast<std::uint32_t>(body.size()));
  std::size_t start = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), body.begin(), body.end());
  PutBe32(out, Crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored deflate blocks (at most 65535 bytes each).
Bytes StoredZlib(const Bytes& raw) {
  Bytes out{0x78, 0x01};
  std::size_t pos = 0;
  do {
    std::size_t len = std::min<std::size_t>(65535, raw.size() - pos);
    out.push_back(pos + len == raw.size() ? 1 : 0);  // BFINAL, BTYPE 00
    PutLe16(out, static_cast<std::uint32_t>(len));
    PutLe16(out, static_cast<std::uint32_t>(~len & 0xFFFF));
    out.insert(out.end(), raw.begin() + pos, raw.begin() + pos + len);
    pos += len;
  } while (pos < raw.size());
  PutBe32(out, Adler32(raw));
  return out;
}

}  // namespace

Bytes EncodePngFile(const Image& image) {
  Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  PutBe32(header, image.Width());
  PutBe32(header, image.Height());
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
  PutChunk(out, "IHDR", header);
  Bytes raw;
  raw.reserve((image.Width() * 4 + 1) * std::size_t(image.Height()));
  for (int y = 0; y < image.Height(); ++y) {
    raw.push_back(0);
    for (int x = 0; x < image.Width(); ++x) {
      const Pixel& p = image.At(x, y);
      raw.insert(raw.end(), {p.r, p.g, p.b, p.a});
    }
  }
  PutChunk(out, "IDAT", StoredZlib(raw));
  PutChunk(out, "IEND", {});
  return out;
}

}  // namespace resgen
