// The pictures the program sends to a panel, drawn by the resource generator: hint boxes exactly
// beside the six buttons on the see-through colour key, each with its own label, no stray key
// byte elsewhere; splash screens blue with their title at the top; no two frames alike.
#include <gtest/gtest.h>

#include <algorithm>
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
Pixel At(const Bytes& frame, int x, int y) {  // y from the top
  const std::size_t at = std::size_t(240 - 1 - y) * 960 + x * 3;
  return Pixel{frame[at + 2], frame[at + 1], frame[at]};
}
int Box(int x, int y) {  // the hint box holding (x, y), -1 for none
  if (x < kBoxLeft || x >= kBoxLeft + kBoxWidth) return -1;
  for (int n = 0; n < 6; ++n) {
    if (y >= kBoxTops[n] && y < kBoxTops[n] + kBoxHeight) return n;
  }
  return -1;
}

TEST(FrameBitmaps, EachFrameShowsWhatThePanelShouldSee) {
  const std::map<int, bool> hints = {{226, true},  {227, true},  {228, true}, {240, true},
                                     {241, true},  {232, false}, {233, false}, {234, false}};
  std::map<int, Bytes> made;
  for (const BitmapResource& r : MakeBitmapResources("1.00")) {
    const Bytes file = EncodeBmpFile(r.image, r.layout);
    if (hints.count(r.id)) made[r.id].assign(file.begin() + kBmpFileHeaderSize + 40, file.end());
  }
  ASSERT_EQ(made.size(), hints.size());
  for (const auto& [id, frame] : made) {
    SCOPED_TRACE("bitmap " + std::to_string(id));
    ASSERT_EQ(frame.size(), 230402u) << "one frame and two bytes of padding";
    int wrong = 0, blue = 0, white = 0;
    std::vector<std::vector<bool>> labels(6);
    for (int y = 0; y < 240; ++y) {
      for (int x = 0; x < 320; ++x) {
        const Pixel p = At(frame, x, y);
        const int box = Box(x, y);
        if (hints.at(id)) {
          // Boxes of black and label colour on the key, and no byte 1 in any other pixel; a
          // label keeps a margin inside its box.
          wrong += box < 0 ? p != kSeeThrough : p != kBlack && p != kLabel;
          if (box >= 0) labels[box].push_back(p == kLabel);
          const bool edge = box >= 0 && (x == kBoxLeft || x == kBoxLeft + kBoxWidth - 1 ||
                                         y == kBoxTops[box] || y == kBoxTops[box] + kBoxHeight - 1);
          wrong += edge && p == kLabel;
        } else {
          blue += p.b > p.r + 40 && p.b > p.g;
          white += y < 50 && p == kWhite;
        }
      }
    }
    EXPECT_EQ(wrong, 0);
    if (hints.at(id)) {
      std::set<std::vector<bool>> distinct(labels.begin(), labels.end());
      for (const auto& label : labels) {
        EXPECT_GE(std::count(label.begin(), label.end(), true), 20) << "a legible label";
      }
      EXPECT_EQ(distinct.size(), 6u) << "each box its own label";
    } else {
      EXPECT_GT(blue, 320 * 240 * 3 / 4) << "mostly blue";
      EXPECT_GT(white, 300) << "a title in white at the top";
    }
  }
  int alike = 0;  // each frame its own labels or title
  for (const auto& [id, frame] : made) {
    for (const auto& [other, otherFrame] : made) alike += id < other && frame == otherFrame;
  }
  EXPECT_EQ(alike, 0);
}

}  // namespace
}  // namespace resgen
