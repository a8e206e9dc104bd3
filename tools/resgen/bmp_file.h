// 24-bit Windows bitmap files. The resource compiler drops a bitmap file's 14-byte file header
// and stores the rest, so what follows that header is exactly what the program finds in its
// resources.
#pragma once

#include <cstdint>

#include "tools/resgen/byte_writer.h"
#include "tools/resgen/canvas.h"

namespace resgen {

struct BmpLayout {
  std::int32_t pixelsPerMetre = 2835;  // 72 dots per inch
  std::uint32_t trailingBytes = 0;     // zero bytes after the pixels, counted in the image size
};

// Frame bitmaps (hints and splashes): 320 x 240 pixels, 2952 px/m, 2 trailing bytes, so that the
// resource is 230442 bytes: 40 header + 230400 pixels + 2.
constexpr BmpLayout kFrameBmpLayout{2952, 2};
constexpr std::uint32_t kFrameResourceSize = 230442;

constexpr std::uint32_t kBmpFileHeaderSize = 14;
constexpr std::uint32_t kBmpInfoHeaderSize = 40;

// The whole file: file header, BITMAPINFOHEADER (height positive, rows bottom-up, BI_RGB, no
// colour table), BGR rows padded to 4 bytes, then the trailing bytes. Alpha is dropped.
Bytes EncodeBmpFile(const Image& image, BmpLayout layout = {});

}  // namespace resgen
