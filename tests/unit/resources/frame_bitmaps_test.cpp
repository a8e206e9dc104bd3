// The pictures the program sends to a panel, drawn by the resource generator: hint boxes exactly
// beside the six buttons on the see-through colour key, each with its own label, no stray key
// byte elsewhere; splash screens blue with their title at the top.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
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
constexpr Pixel kSeeThrough{1, 1, 1}, kBlack{0, 0, 0}, kLabel{251, 241, 77}, kWhite{255, 255, 255};

// The frame as the program sends it: the bitmap file less its headers, rows bottom-up.
struct Frame {
  Bytes bytes;
  explicit Frame(const BitmapResource& r) {
    const Bytes file = EncodeBmpFile(r.image, r.layout);
    bytes.assign(file.begin() + kBmpFileHeaderSize + 40, file.end());
  }
  Pixel At(int x, int y) const {  // y from the top
    const std::size_t at = std::size_t(240 - 1 - y) * 960 + x * 3;
    return Pixel{bytes[at + 2], bytes[at + 1], bytes[at]};
  }
  int Box(int x, int y) const {  // the hint box holding (x, y), -1 for none
    if (x < kBoxLeft || x >= kBoxLeft + kBoxWidth) return -1;
    for (int n = 0; n < 6; ++n) {
      if (y >= kBoxTops[n] && y < kBoxTops[n] + kBoxHeight) return n;
    }
    return -1;
  }
};

TEST(FrameBitmaps, EachFrameShowsWhatThePanelShouldSee) {
  const std::map<int, bool> frames = {  // id -> a hint overlay (else a splash screen)
      {226, true}, {227, true}, {228, true}, {240, true}, {241, true},
      {232, false}, {233, false}, {234, false}};
  std::map<int, Frame> made;
  for (const BitmapResource& r : MakeBitmapResources("1.00")) {
    if (frames.count(r.id)) made.emplace(r.id, Frame(r));
  }
  ASSERT_EQ(made.size(), frames.size());
  for (const auto& [id, frame] : made) {
    SCOPED_TRACE("bitmap " + std::to_string(id));
    ASSERT_EQ(frame.bytes.size(), 230402u) << "one frame and two bytes of padding";
    int wrong = 0, blue = 0, white = 0;
    std::vector<std::vector<bool>> labels(6);
    for (int y = 0; y < 240; ++y) {
      for (int x = 0; x < 320; ++x) {
        const Pixel p = frame.At(x, y);
        const int box = frame.Box(x, y);
        if (frames.at(id)) {
          // Boxes of black and label colour on the key, and no byte 1 in any other pixel.
          wrong += box < 0 ? p != kSeeThrough : p != kBlack && p != kLabel;
          if (box >= 0) labels[box].push_back(p == kLabel);
          const bool edge = box >= 0 && (x == kBoxLeft || x == kBoxLeft + kBoxWidth - 1 ||
                                         y == kBoxTops[box] || y == kBoxTops[box] + kBoxHeight - 1);
          wrong += edge && p == kLabel;  // a label keeps a margin inside its box
        } else {
          blue += p.b > p.r + 40 && p.b > p.g;
          white += y < 50 && p == kWhite;
        }
      }
    }
    EXPECT_EQ(wrong, 0);
    if (frames.at(id)) {
      std::set<std::vector<bool>> distinct;
      for (const auto& label : labels) {
        EXPECT_GE(std::count(label.begin(), label.end(), true), 20) << "a legible label";
        distinct.insert(label);
      }
      EXPECT_EQ(distinct.size(), 6u) << "each box its own label";
    } else {
      EXPECT_GT(blue, 320 * 240 * 3 / 4) << "mostly blue";
      EXPECT_GT(white, 300) << "a title in white at the top";
      // The splashes differ in their titles and share the rest (below the title band).
      const Bytes& first = made.at(232).bytes;
      const std::size_t band = std::size_t(240 - 50) * 960;
      EXPECT_EQ(std::memcmp(first.data(), frame.bytes.data(), band), 0);
      if (id != 232) {
        EXPECT_NE(first, frame.bytes);
      }
    }
  }
  // The GPS pages differ only where their labels do: "Push Crsr" is the same on both.
  const auto sameRows = [&](int top) {
    for (int y = top; y < top + kBoxHeight; ++y) {
      for (int x = 0; x < 320; ++x) {
        if (made.at(226).At(x, y) != made.at(227).At(x, y)) return false;
      }
    }
    return true;
  };
  EXPECT_TRUE(sameRows(kBoxTops[5]));
  EXPECT_FALSE(sameRows(kBoxTops[0]));
}

}  // namespace
}  // namespace resgen
