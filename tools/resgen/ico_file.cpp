#include "tools/resgen/ico_file.h"

#include "tools/resgen/bmp_file.h"

namespace resgen {
namespace {

// The icon's picture as stored in the file: a BITMAPINFOHEADER with twice the height (colour
// rows, then mask rows), BGRA rows bottom-up, then the AND mask for readers without alpha (1 where
// the picture is mostly transparent).
Bytes IconImageData(const Image& image) {
  const int w = image.Width(), h = image.Height();
  const std::uint32_t maskRowBytes = ((w + 31) / 32) * 4;
  Bytes out;
  PutLe32(out, kBmpInfoHeaderSize);
  PutLe32(out, w);
  PutLe32(out, h * 2);
  PutLe16(out, 1);
  PutLe16(out, 32);
  PutLe32(out, 0);  // BI_RGB
  PutLe32(out, w * h * 4 + maskRowBytes * h);
  for (int i = 0; i < 4; ++i) PutLe32(out, 0);  // resolution, colours
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < w; ++x) {
      const Pixel& p = image.At(x, y);
      out.insert(out.end(), {p.b, p.g, p.r, p.a});
    }
  for (int y = h - 1; y >= 0; --y) {
    Bytes row(maskRowBytes, 0);
    for (int x = 0; x < w; ++x)
      if (image.At(x, y).a < 128) row[x / 8] |= 0x80 >> (x % 8);
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

Bytes EncodeIcoFile(const std::vector<Image>& images) {
  std::vector<Bytes> data;
  for (const Image& image : images) data.push_back(IconImageData(image));
  Bytes out;
  PutLe16(out, 0);  // reserved
  PutLe16(out, 1);  // icon
  PutLe16(out, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    out.push_back(images[i].Width() & 0xFF);   // 256 is written as 0
    out.push_back(images[i].Height() & 0xFF);
    out.push_back(0);  // colour count
    out.push_back(0);  // reserved
    PutLe16(out, 1);   // planes
    PutLe16(out, 32);  // bits per pixel
    PutLe32(out, static_cast<std::uint32_t>(data[i].size()));
    PutLe32(out, offset);
    offset += static_cast<std::uint32_t>(data[i].size());
  }
  for (const Bytes& d : data) out.insert(out.end(), d.begin(), d.end());
  return out;
}

}  // namespace resgen
