// The static image show's pure logic: what a soft-button value means, the encoders' walk, the
// image names and paths that must fit 260 units, and the structural check of picture files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "images/image_path.h"
#include "images/picture_check.h"
#include "images/static_buttons.h"

namespace panelcast {
namespace {

TEST(StaticButtons, EachValueMeansOneAction) {
  using A = StaticAction;
  const struct {
    uint32_t value;
    StaticAction action;
    int image;  // 1 to 6 for kShowImage
  } rows[] = {
      {0x60, A::kFlipHints, 0}, {0x180, A::kFlipLights, 0}, {0x600, A::kFlipFormat, 0},
      {0x20, A::kShowImage, 1}, {0x40, A::kShowImage, 2}, {0x80, A::kShowImage, 3},
      {0x100, A::kShowImage, 4}, {0x200, A::kShowImage, 5}, {0x400, A::kShowImage, 6},
      // 0x10 before 0x08 before 0x04 before 0x02; other bits beside them do not matter.
      {0x18, A::kStepBack, 0}, {0x0C, A::kStepForward, 0}, {0x06, A::kStepBack, 0},
      {0x22, A::kStepForward, 0},
      {0, A::kNone, 0}, {0xA0, A::kNone, 0}, {0x01, A::kNone, 0},
  };
  for (const auto& row : rows) {
    const StaticButtonPress press = DecodeStaticButtons(row.value);
    EXPECT_EQ(press.action, row.action) << std::hex << row.value;
    if (row.image) {
      EXPECT_EQ(press.image, row.image);
      EXPECT_EQ(ButtonValueOfImage(row.image), row.value);
    }
  }
}

// The encoders wrap at both ends and never leave 1 to 6, whatever they start from.
TEST(StaticButtons, EncodersWalkTheSixImagesRound) {
  const struct {
    uint16_t image, forward, back;
  } rows[] = {{1, 2, 6}, {2, 3, 1}, {5, 6, 4}, {6, 1, 5}};
  for (const auto& row : rows) {
    EXPECT_EQ(StepImageForward(row.image), row.forward) << row.image;
    EXPECT_EQ(StepImageBack(row.image), row.back) << row.image;
  }
  for (uint16_t n : {0, 7, 65535}) {
    for (uint16_t next : {StepImageForward(n), StepImageBack(n)}) {
      EXPECT_TRUE(next >= 1 && next <= 6) << n << " -> " << next;
    }
  }
}

TEST(ImagePath, NamesHintBitmapsAndFoldersThatFit) {
  const struct {
    int set, image;
    const wchar_t* name;
  } names[] = {{0, 1, L"\\FIP1.JPG"}, {1, 6, L"\\FIP6.BMP"}, {2, 1, nullptr}, {0, 7, nullptr}};
  for (const auto& row : names) {
    const wchar_t* name = ImageFileName(row.set, row.image);
    EXPECT_EQ(std::wstring(name ? name : L"(none)"), row.name ? row.name : L"(none)");
  }
  const std::pair<int, int> hints[] = {{0, 240}, {1, 241}, {-1, 0}};
  for (const auto& [format, bitmap] : hints) EXPECT_EQ(HintBitmapOfFormat(format), bitmap);
  // A folder of up to 250 units fits; a longer one is refused without writing past the buffer.
  wchar_t out[kImagePathCapacity + 8];
  std::wstring folder(250, L'a');
  ASSERT_TRUE(JoinFolderAndName(folder.c_str(), L"\\FIP1.JPG", out, kImagePathCapacity));
  EXPECT_EQ(std::wstring(out), folder + L"\\FIP1.JPG");
  folder += L'a';
  for (wchar_t& c : out) c = L'#';
  EXPECT_FALSE(JoinFolderAndName(folder.c_str(), L"\\FIP1.JPG", out, kImagePathCapacity));
  EXPECT_EQ(std::wstring(out, std::size(out)), L'\0' + std::wstring(std::size(out) - 1, L'#'));
  EXPECT_TRUE(JoinFolderAndName(L"", L"\\Skinwright_x86.exe", out, kImagePathCapacity));
  EXPECT_STREQ(out, L"\\Skinwright_x86.exe");
}

std::vector<uint8_t> Bitmap(int width, int height) {
  std::vector<uint8_t> out(54 + ((width * 3 + 3) & ~3) * height, 0);
  auto put = [&](std::size_t at, int32_t v) { std::memcpy(&out[at], &v, 4); };
  out[0] = 'B', out[1] = 'M', out[26] = 1, out[28] = 24;
  put(10, 54), put(14, 40), put(18, width), put(22, height);
  return out;
}

// A file whose structure promises more than it holds is refused before any decoder sees it.
TEST(PictureCheck, OnlyWholeStructuresAreSound) {
  // SOI, APP0 of 4 bytes, SOF0 of 8x8 with one component, SOS header, data.
  const std::vector<uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x00, 0x00, 0xFF, 0xC0,
                                     0x00, 0x0B, 0x08, 0x00, 0x08, 0x00, 0x08, 0x01, 0x01, 0x11,
                                     0x00, 0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F,
                                     0x00, 0x12, 0x34};
  const std::vector<uint8_t> bmp = Bitmap(5, 3);
  std::vector<uint8_t> topDown = bmp;
  topDown[22] = 0xFD, topDown[23] = topDown[24] = topDown[25] = 0xFF;  // height -3
  const struct {
    const char* what;
    std::vector<uint8_t> file;
    std::vector<std::pair<std::size_t, uint8_t>> changes;
    std::size_t cut;  // bytes taken away at the end
    bool sound;
  } rows[] = {
      {"a whole JPEG", jpeg, {}, 0, true},
      {"an APP0 longer than the file", jpeg, {{4, 0xFF}}, 0, false},
      {"a JPEG of height 0", jpeg, {{13, 0}, {14, 0}}, 0, false},
      {"a segment length below 2", jpeg, {{5, 0x01}}, 0, false},
      {"a JPEG cut before the scan", jpeg, {}, jpeg.size() - 20, false},
      {"nothing", jpeg, {}, jpeg.size(), false},
      {"a whole bitmap", bmp, {}, 0, true},
      {"a bitmap top-down", topDown, {}, 0, true},
      {"a bitmap's last row cut", bmp, {}, 1, false},
      {"a taller picture than the file holds", bmp, {{22, 0xFF}, {23, 0xFF}}, 0, false},
      {"an unknown header size", bmp, {{14, 41}}, 0, false},
      {"an unknown depth", bmp, {{28, 23}}, 0, false},
      {"pixels after the end", bmp, {{10, 0xFF}}, 0, false},
      {"a PNG signature (the decoder's matter)", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, {},
       0, true},
  };
  for (const auto& row : rows) {
    std::vector<uint8_t> file = row.file;
    for (const auto& [at, value] : row.changes) file[at] = value;
    EXPECT_EQ(PictureStructureIsSound(file.data(), file.size() - row.cut), row.sound) << row.what;
  }
}

}  // namespace
}  // namespace panelcast
