#include "images/picture_check.h"

namespace panelcast {
namespace {

uint32_t Read16BigEndian(const uint8_t* p) { return (p[0] << 8) | p[1]; }
uint32_t Read16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t Read32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool IsStartOfFrame(uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool JpegIsSound(const uint8_t* bytes, std::size_t size) {
  std::size_t at = 2;  // after the start-of-image marker
  bool sizedFrame = false;
  for (;;) {
    if (at + 2 > size || bytes[at] != 0xFF) return false;
    while (at + 1 < size && bytes[at + 1] == 0xFF) ++at;  // fill bytes before a marker
    if (at + 2 > size) return false;
    const uint8_t marker = bytes[at + 1];
    at += 2;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length follows
    if (marker == 0xD8 || marker == 0xD9) return false;  // a second image start, or no scan
    if (at + 2 > size) return false;
    const std::size_t length = Read16BigEndian(bytes + at);
    if (length < 2 || at + length > size) return false;
    if (IsStartOfFrame(marker)) {
      if (length < 8) return false;
      const uint32_t height = Read16BigEndian(bytes + at + 3);
      const uint32_t width = Read16BigEndian(bytes + at + 5);
      const uint32_t components = bytes[at + 7];
      if (width == 0 || height == 0 || components == 0 || length != 8 + 3 * components) {
        return false;
      }
      sizedFrame = true;
    }
    if (marker == 0xDA) return sizedFrame;  // the scan's header is whole; its data follows
    at += length;
  }
}

bool BitmapIsSound(const uint8_t* bytes, std::size_t size) {
  constexpr std::size_t kFileHeader = 14;
  if (size < kFileHeader + 12) return false;
  const uint32_t pixelOffset = Read32(bytes + 10);
  const uint32_t headerSize = Read32(bytes + 14);
  if (headerSize != 12 && headerSize != 40 && headerSize != 52 && headerSize != 56 &&
      headerSize != 64 && headerSize != 108 && headerSize != 124) {
    return false;
  }
  if (kFileHeader + headerSize > size || pixelOffset < kFileHeader + headerSize ||
      pixelOffset >= size) {
    return false;
  }
  int64_t width, height;
  uint32_t bitCount, compression = 0;
  if (headerSize == 12) {
    width = Read16(bytes + 18);
    height = static_cast<int16_t>(Read16(bytes + 20));
    bitCount = Read16(bytes + 24);
  } else {
    width = static_cast<int32_t>(Read32(bytes + 18));
    height = static_cast<int32_t>(Read32(bytes + 22));
    bitCount = Read16(bytes + 28);
    compression = Read32(bytes + 30);
  }
  if (height < 0) height = -height;
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return false;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
      bitCount != 32) {
    return false;
  }
  if (compression == 0) {  // uncompressed: every row must be in the file
    const uint64_t stride = ((static_cast<uint64_t>(width) * bitCount + 31) / 32) * 4;
    if (stride * static_cast<uint64_t>(height) > size - pixelOffset) return false;
  } else if (compression > 6) {
    return false;
  }
  return true;
}

}  // namespace

bool PictureStructureIsSound(const uint8_t* bytes, std::size_t size) {
  if (!bytes || size == 0) return false;
  if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) return JpegIsSound(bytes, size);
  if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return BitmapIsSound(bytes, size);
  return true;
}

}  // namespace panelcast
