#include "tools/resgen/bmp_file.h"

namespace resgen {

Bytes EncodeBmpFile(const Image& image, BmpLayout layout) {
  const std::uint32_t rowBytes = (image.Width() * 3 + 3) & ~3u;
  const std::uint32_t imageSize = rowBytes * image.Height() + layout.trailingBytes;
  const std::uint32_t offBits = kBmpFileHeaderSize + kBmpInfoHeaderSize;
  Bytes out;
  out.reserve(offBits + imageSize);
  out.push_back('B'), out.push_back('M');
  PutLe32(out, offBits + imageSize);  // bfSize
  PutLe32(out, 0);                    // bfReserved1, bfReserved2
  PutLe32(out, offBits);
  PutLe32(out, kBmpInfoHeaderSize);
  PutLe32(out, image.Width());
  PutLe32(out, image.Height());  // positive: bottom row first
  PutLe16(out, 1);               // planes
  PutLe16(out, 24);              // bits per pixel
  PutLe32(out, 0);               // BI_RGB
  PutLe32(out, imageSize);
  PutLe32(out, layout.pixelsPerMetre);
  PutLe32(out, layout.pixelsPerMetre);
  PutLe32(out, 0);  // colours used
  PutLe32(out, 0);  // colours important
  for (int y = image.Height() - 1; y >= 0; --y) {
    for (int x = 0; x < image.Width(); ++x) {
      const Pixel& p = image.At(x, y);
      out.push_back(p.b), out.push_back(p.g), out.push_back(p.r);
    }
    out.resize(out.size() + (rowBytes - image.Width() * 3), 0);
  }
  out.resize(out.size() + layout.trailingBytes, 0);
  return out;
}

}  // namespace resgen
