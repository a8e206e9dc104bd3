// The generator's PNG and icon files read back by independent, minimal readers.
#include <gtest/gtest.h>

#include <string>

#include "tools/resgen/ico_file.h"
#include "tools/resgen/png_file.h"
#include "tools/resgen/program_pictures.h"

namespace resgen {
namespace {

std::uint32_t Be32(const Bytes& b, std::size_t at) {
  return (std::uint32_t(b[at]) << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
}
std::uint32_t Le32(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}

// Bit by bit, as the PNG standard defines it.
std::uint32_t SlowCrc32(const std::uint8_t* p, std::size_t n) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

Image Sample() {
  Image image(3, 2, Pixel{10, 20, 30, 255});
  image.At(2, 1) = Pixel{200, 100, 50, 0};
  return image;
}

TEST(PngFile, ChunksCarryValidCrcsAndTheRowsReadBack) {
  Bytes png = EncodePngFile(Sample());
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(Bytes(png.begin(), png.begin() + 8), (Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
  std::string types;
  Bytes idat;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    std::uint32_t length = Be32(png, at);
    std::string type(png.begin() + at + 4, png.begin() + at + 8);
    types += type;
    types += ' ';
    EXPECT_EQ(Be32(png, at + 8 + length), SlowCrc32(png.data() + at + 4, length + 4)) << type;
    if (type == "IHDR") {
      EXPECT_EQ(Be32(png, at + 8), 3u);
      EXPECT_EQ(Be32(png, at + 12), 2u);
    }
    if (type == "IDAT") idat.insert(idat.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
    at += 12 + length;
  }
  EXPECT_EQ(types, "IHDR IDAT IEND ");
  // zlib header, one final stored block, Adler-32.
  ASSERT_GE(idat.size(), 7u);
  EXPECT_EQ((idat[0] * 256 + idat[1]) % 31, 0);
  EXPECT_EQ(idat[2], 1);
  std::size_t len = idat[3] | (idat[4] << 8);
  ASSERT_EQ(len, 2u * (1 + 3 * 4));
  Bytes raw(idat.begin() + 7, idat.begin() + 7 + len);
  EXPECT_EQ(raw, (Bytes{0, 10, 20, 30, 255, 10, 20, 30, 255, 10, 20, 30, 255,
                        0, 10, 20, 30, 255, 10, 20, 30, 255, 200, 100, 50, 0}));
}

TEST(IcoFile, HoldsEverySizeWithItsTransparentCornersMasked) {
  std::vector<Image> images = MakeIconImages();
  Bytes ico = EncodeIcoFile(images);
  ASSERT_EQ(ico[2] | (ico[3] << 8), 1);  // icon
  ASSERT_EQ(ico[4] | (ico[5] << 8), 3);
  for (int i = 0; i < 3; ++i) {
    int size = kIconSizes[i];
    SCOPED_TRACE("icon " + std::to_string(size));
    std::size_t entry = 6 + 16 * i;
    EXPECT_EQ(ico[entry], size);
    EXPECT_EQ(ico[entry + 1], size);
    std::size_t offset = Le32(ico, entry + 12), bytes = Le32(ico, entry + 8);
    ASSERT_LE(offset + bytes, ico.size());
    EXPECT_EQ(Le32(ico, offset + 4), std::uint32_t(size));
    EXPECT_EQ(Le32(ico, offset + 8), std::uint32_t(size * 2));
    std::size_t maskRow = ((size + 31) / 32) * 4;
    ASSERT_EQ(bytes, 40 + std::size_t(size) * size * 4 + maskRow * size);
    // The rounded panel leaves the top-left corner transparent and the centre opaque.
    std::size_t mask = offset + 40 + std::size_t(size) * size * 4;
    EXPECT_TRUE(ico[mask + maskRow * (size - 1)] & 0x80) << "top-left corner";
    std::size_t centre = offset + 40 + (std::size_t(size / 2) * size + size / 2) * 4;
    EXPECT_EQ(ico[centre + 3], 255);
  }
}

TEST(ProgramPictures, HaveTheirSizesAndAWhiteAeroplaneOnBlue) {
  Image about = MakeAboutPicture();
  EXPECT_EQ(about.Width(), 47);
  EXPECT_EQ(about.Height(), 45);
  EXPECT_EQ(about.At(23, 22), (Pixel{255, 255, 255, 255})) << "the aeroplane's middle";
  Pixel corner = about.At(1, 43);
  EXPECT_GT(corner.b, corner.r + 60);
  Image banner = MakeBanner();
  EXPECT_EQ(banner.Width(), 734);
  EXPECT_EQ(banner.Height(), 48);
  int white = 0;
  for (int y = 0; y < 48; ++y)
    for (int x = 60; x < 300; ++x) white += banner.At(x, y) == Pixel{255, 255, 255, 255};
  EXPECT_GT(white, 500) << "the program's name in white";
}

}  // namespace
}  // namespace resgen
