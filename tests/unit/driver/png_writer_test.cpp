// The PNG writer's output read back by an independent minimal reader: chunk layout and CRCs,
// the zlib stream of stored blocks with its Adler-32, and the pixels in PNG order.
#include "tests/driver/png_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

struct Decoded {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> rows;  // filter byte + RGB per row, top row first
};

// Reads back what the writer makes; fails the test on any structural fault.
Decoded Decode(const std::vector<uint8_t>& png) {
  Decoded d;
  const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_GE(png.size(), 8u);
  EXPECT_EQ(std::memcmp(png.data(), signature, 8), 0);
  std::vector<uint8_t> zlib;
  std::vector<std::string> order;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const uint32_t len = BigEndian32(&png[at]);
    const std::string type(png.begin() + at + 4, png.begin() + at + 8);
    order.push_back(type);
    EXPECT_LE(at + 12 + len, png.size());
    EXPECT_EQ(BigEndian32(&png[at + 8 + len]), driver::Crc32(&png[at + 4], len + 4)) << type;
    const uint8_t* data = &png[at + 8];
    if (type == "IHDR") {
      d.width = BigEndian32(data);
      d.height = BigEndian32(data + 4);
      EXPECT_EQ(data[8], 8);  // bit depth
      EXPECT_EQ(data[9], 2);  // truecolour
    } else if (type == "IDAT") {
      zlib.insert(zlib.end(), data, data + len);
    }
    at += 12 + len;
  }
  EXPECT_EQ(order, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));

  EXPECT_GE(zlib.size(), 6u);
  EXPECT_EQ((zlib[0] * 256 + zlib[1]) % 31, 0);  // zlib header check bits
  std::size_t at = 2;
  for (bool last = false; !last && at + 5 <= zlib.size();) {
    last = zlib[at] & 1;
    EXPECT_EQ(zlib[at] & 6, 0) << "not a stored block";
    const unsigned len = zlib[at + 1] | (zlib[at + 2] << 8);
    const unsigned nlen = zlib[at + 3] | (zlib[at + 4] << 8);
    EXPECT_EQ(len ^ 0xFFFF, nlen);
    d.rows.insert(d.rows.end(), zlib.begin() + at + 5, zlib.begin() + at + 5 + len);
    at += 5 + len;
  }
  EXPECT_EQ(at + 4, zlib.size());
  if (at + 4 <= zlib.size()) {
    EXPECT_EQ(BigEndian32(&zlib[at]), driver::Adler32(d.rows.data(), d.rows.size()));
  }
  return d;
}

TEST(PngWriter, KnownChecksums) {
  const std::string text = "123456789";
  const auto* p = reinterpret_cast<const uint8_t*>(text.data());
  EXPECT_EQ(driver::Crc32(p, text.size()), 0xCBF43926u);
  EXPECT_EQ(driver::Adler32(p, text.size()), 0x091E01DEu);
}

TEST(PngWriter, BottomUpBgrBecomesTopDownRgbWithPaddedStride) {
  // 2x2, stride 8 (rows padded to 4 bytes as in a DIB); bottom row first in memory.
  const std::vector<uint8_t> dib = {
      1, 2, 3, 4, 5, 6, 0xEE, 0xEE,        // bottom row: (B1 G2 R3), (B4 G5 R6), padding
      7, 8, 9, 10, 11, 12, 0xEE, 0xEE};    // top row
  const Decoded d = Decode(driver::EncodePngFromBottomUpBgr(dib.data(), 2, 2, 8));
  EXPECT_EQ(d.width, 2u);
  EXPECT_EQ(d.height, 2u);
  const std::vector<uint8_t> rows = {0, 9, 8, 7, 12, 11, 10,   // top row, RGB
                                     0, 3, 2, 1, 6, 5, 4};
  EXPECT_EQ(d.rows, rows);
}

TEST(PngWriter, PanelFrameSpansSeveralStoredBlocks) {
  // A 320x240 frame is 230400 bytes; with filter bytes it needs four 64K stored blocks.
  std::vector<uint8_t> frame(320 * 240 * 3);
  for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i * 7);
  const Decoded d = Decode(driver::EncodePngFromBottomUpBgr(frame.data(), 320, 240));
  EXPECT_EQ(d.width, 320u);
  EXPECT_EQ(d.height, 240u);
  ASSERT_EQ(d.rows.size(), 240u * (1 + 960));
  // Top-left pixel of the PNG is the first pixel of the last DIB row.
  const std::size_t last = 239 * 960;
  EXPECT_EQ(d.rows[0], 0);
  EXPECT_EQ(d.rows[1], frame[last + 2]);
  EXPECT_EQ(d.rows[2], frame[last + 1]);
  EXPECT_EQ(d.rows[3], frame[last + 0]);
}

TEST(PngWriter, RefusesImpossibleInput) {
  const uint8_t pixel[3] = {};
  EXPECT_TRUE(driver::EncodePngFromBottomUpBgr(nullptr, 1, 1).empty());
  EXPECT_TRUE(driver::EncodePngFromBottomUpBgr(pixel, 0, 1).empty());
  EXPECT_TRUE(driver::EncodePngFromBottomUpBgr(pixel, 2, 1, 3).empty());  // stride too short
}

}  // namespace
