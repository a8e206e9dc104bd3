// The pictures the program sends to a panel, checked through the generator's own code and the
// bytes it writes: the frame layout, the hint boxes and their labels, the colour key's promise.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tools/resgen/bmp_file.h"
#include "tools/resgen/frame_bitmaps.h"
#include "tools/resgen/resource_catalogue.h"

namespace resgen {
namespace {

// The panel's layout, written out here rather than taken from the generator so that a change
// there has to agree with it.
constexpr int kBoxLeft = 1, kBoxWidth = 42, kBoxHeight = 15;
constexpr int kBoxTops[6] = {7, 49, 93, 135, 178, 220};
constexpr Pixel kSeeThrough{1, 1, 1}, kBlack{0, 0, 0}, kLabel{251, 241, 77};

std::uint32_t Le32(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}
std::uint16_t Le16(const Bytes& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }

// The resource part of a frame bitmap file (what the program gets: the file less its 14-byte
// header), and its pixel at (x, y) counted from the picture's top.
struct FrameResource {
  Bytes bytes;
  explicit FrameResource(const Image& image) {
    Bytes file = EncodeBmpFile(image, kFrameBmpLayout);
    bytes.assign(file.begin() + kBmpFileHeaderSize, file.end());
  }
  Pixel At(int x, int y) const {
    std::size_t at = 40 + std::size_t(240 - 1 - y) * 960 + x * 3;
    return Pixel{bytes[at + 2], bytes[at + 1], bytes[at]};
  }
};

bool InAnyBox(int x, int y) {
  if (x < kBoxLeft || x >= kBoxLeft + kBoxWidth) return false;
  for (int top : kBoxTops)
    if (y >= top && y < top + kBoxHeight) return true;
  return false;
}

std::vector<BitmapResource> Frames() {
  std::vector<BitmapResource> frames;
  for (BitmapResource& r : MakeBitmapResources("1.00"))
    if (r.image.Width() == 320 && r.image.Height() == 240) frames.push_back(std::move(r));
  return frames;
}

bool IsHint(int id) { return id == 226 || id == 227 || id == 228 || id == 240 || id == 241; }

TEST(FrameBitmaps, EveryFrameResourceHasTheFixedHeaderAndSize) {
  std::set<int> ids;
  for (const BitmapResource& r : Frames()) {
    SCOPED_TRACE(r.file);
    ids.insert(r.id);
    Bytes file = EncodeBmpFile(r.image, r.layout);
    ASSERT_EQ(file.size(), 230456u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(Le32(file, 2), 230456u);  // bfSize
    EXPECT_EQ(Le32(file, 10), 54u);     // bfOffBits
    FrameResource res(r.image);
    const Bytes& b = res.bytes;
    ASSERT_EQ(b.size(), 230442u);
    EXPECT_EQ(Le32(b, 0), 40u);
    EXPECT_EQ(Le32(b, 4), 320u);
    EXPECT_EQ(Le32(b, 8), 240u);  // positive: bottom-up
    EXPECT_EQ(Le16(b, 12), 1);
    EXPECT_EQ(Le16(b, 14), 24);
    EXPECT_EQ(Le32(b, 16), 0u);  // BI_RGB
    EXPECT_EQ(Le32(b, 20), 230402u);
    EXPECT_EQ(Le32(b, 24), 2952u);
    EXPECT_EQ(Le32(b, 28), 2952u);
    EXPECT_EQ(Le32(b, 32), 0u);
    EXPECT_EQ(Le32(b, 36), 0u);
    EXPECT_EQ(b[230440], 0);
    EXPECT_EQ(b[230441], 0);
  }
  EXPECT_EQ(ids, (std::set<int>{226, 227, 228, 232, 233, 234, 240, 241}));
}

TEST(HintBitmaps, BoxesSitExactlyBesideTheButtonsOnASeeThroughBackground) {
  for (const BitmapResource& r : Frames()) {
    if (!IsHint(r.id)) continue;
    SCOPED_TRACE(r.file);
    FrameResource res(r.image);
    int wrong = 0;
    for (int y = 0; y < 240; ++y)
      for (int x = 0; x < 320; ++x) {
        Pixel p = res.At(x, y);
        bool ok = InAnyBox(x, y) ? (p == kBlack || p == kLabel) : p == kSeeThrough;
        if (!ok && ++wrong <= 5)
          ADD_FAILURE() << "pixel " << x << "," << y << " (from the top) is " << int(p.r) << "," << int(p.g)
                        << "," << int(p.b);
      }
    EXPECT_EQ(wrong, 0);
    // The edges of each box, read from the stored (bottom-up) rows: black corners, background
    // just outside.
    for (int top : kBoxTops) {
      int bottom = top + kBoxHeight - 1, right = kBoxLeft + kBoxWidth - 1;
      EXPECT_EQ(res.At(kBoxLeft, top), kBlack);
      EXPECT_EQ(res.At(right, bottom), kBlack);
      EXPECT_EQ(res.At(0, top), kSeeThrough);
      EXPECT_EQ(res.At(right + 1, top), kSeeThrough);
      EXPECT_EQ(res.At(kBoxLeft, top - 1), kSeeThrough);
      EXPECT_EQ(res.At(kBoxLeft, bottom + 1), kSeeThrough);
    }
  }
}

// The label of box `n` as its pixels, and whether it keeps a margin of background black all round.
std::vector<bool> LabelPixels(const FrameResource& res, int n, bool& insideWithMargin, int& count) {
  std::vector<bool> bits;
  insideWithMargin = true;
  count = 0;
  int top = kBoxTops[n];
  for (int y = top; y < top + kBoxHeight; ++y)
    for (int x = kBoxLeft; x < kBoxLeft + kBoxWidth; ++x) {
      bool text = res.At(x, y) == kLabel;
      bits.push_back(text);
      count += text;
      bool edge = y == top || y == top + kBoxHeight - 1 || x == kBoxLeft ||
                  x == kBoxLeft + kBoxWidth - 1;
      if (text && edge) insideWithMargin = false;
    }
  return bits;
}

TEST(HintBitmaps, EveryBoxHoldsItsOwnLegibleLabelInTheTextColour) {
  for (const BitmapResource& r : Frames()) {
    if (!IsHint(r.id)) continue;
    SCOPED_TRACE(r.file);
    FrameResource res(r.image);
    std::set<std::vector<bool>> labels;
    for (int n = 0; n < 6; ++n) {
      bool inside = false;
      int count = 0;
      std::vector<bool> bits = LabelPixels(res, n, inside, count);
      EXPECT_GE(count, 20) << "box " << n << " holds too little text";
      EXPECT_TRUE(inside) << "box " << n << ": text touches the box's edge";
      labels.insert(bits);
    }
    EXPECT_EQ(labels.size(), 6u);
  }
}

TEST(HintBitmaps, NoByteOneOutsideTheSeeThroughPixels) {
  for (const BitmapResource& r : Frames()) {
    if (!IsHint(r.id)) continue;
    SCOPED_TRACE(r.file);
    FrameResource res(r.image);
    for (int y = 0; y < 240; ++y)
      for (int x = 0; x < 320; ++x) {
        Pixel p = res.At(x, y);
        if (p == kSeeThrough) continue;
        ASSERT_TRUE(p.r != 1 && p.g != 1 && p.b != 1) << "pixel " << x << "," << y;
      }
    EXPECT_EQ(res.At(200, 120), kSeeThrough);
  }
}

TEST(HintBitmaps, PagesOfOneToolDifferOnlyWhereTheirLabelsDo) {
  FrameResource page1(MakeHintBitmap(kGpsPage1Labels)), page2(MakeHintBitmap(kGpsPage2Labels));
  bool sameBottomLabel = true, sameFirstLabel = true;
  int top6 = kBoxTops[5], top1 = kBoxTops[0];
  for (int y = 0; y < kBoxHeight; ++y)
    for (int x = 0; x < 320; ++x) {
      sameBottomLabel &= page1.At(x, top6 + y) == page2.At(x, top6 + y);
      sameFirstLabel &= page1.At(x, top1 + y) == page2.At(x, top1 + y);
    }
  EXPECT_TRUE(sameBottomLabel) << "\"Push Crsr\" is the same button on both pages";
  EXPECT_FALSE(sameFirstLabel);
}

TEST(SplashBitmaps, AreBlueWithTheTitleAtTheTopAndDifferOnlyThere) {
  std::vector<FrameResource> splashes;
  for (const BitmapResource& r : Frames())
    if (!IsHint(r.id)) splashes.emplace_back(r.image);
  ASSERT_EQ(splashes.size(), 3u);
  for (const FrameResource& s : splashes) {
    int blue = 0, white = 0;
    for (int y = 0; y < 240; ++y)
      for (int x = 0; x < 320; ++x) {
        Pixel p = s.At(x, y);
        blue += p.b > p.r + 40 && p.b > p.g;
        white += y < 50 && p == Pixel{255, 255, 255};
      }
    EXPECT_GT(blue, 320 * 240 * 3 / 4) << "mostly blue";
    EXPECT_GT(white, 300) << "a title in white at the top";
  }
  // The titles differ; the rest of the picture (below the title band) is shared.
  for (std::size_t i = 1; i < splashes.size(); ++i) {
    EXPECT_NE(std::memcmp(splashes[0].bytes.data(), splashes[i].bytes.data(), 230442), 0);
    std::size_t bandStart = 40 + std::size_t(240 - 50) * 960;
    EXPECT_EQ(std::memcmp(splashes[0].bytes.data(), splashes[i].bytes.data(), bandStart), 0);
  }
}

TEST(Generator, DrawsTheSameBytesEveryTime) {
  std::vector<BitmapResource> first = MakeBitmapResources("1.00");
  std::vector<BitmapResource> second = MakeBitmapResources("1.00");
  ASSERT_EQ(first.size(), second.size());
  for (std::size_t i = 0; i < first.size(); ++i)
    EXPECT_EQ(EncodeBmpFile(first[i].image, first[i].layout), EncodeBmpFile(second[i].image, second[i].layout))
        << first[i].file;
}

}  // namespace
}  // namespace resgen
