// The static image show's pure logic beyond its window's tests: soft-button values of several
// bits, the encoders' walk from a number out of range, paths that must fit 260 units, and the
// structural check of picture files at its edges.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "images/image_path.h"
#include "images/picture_check.h"
#include "images/static_buttons.h"

namespace panelcast {
namespace {

// 0x10 before 0x08 before 0x04 before 0x02; other bits beside them do not matter.
TEST(StaticButtons, StepsWinByTheirOrderAndOtherChordsMeanNothing) {
  using A = StaticAction;
  const std::pair<uint32_t, StaticAction> rows[] = {
      {0x18, A::kStepBack}, {0x0C, A::kStepForward}, {0x06, A::kStepBack},
      {0x22, A::kStepForward}, {0xA0, A::kNone}, {0x01, A::kNone}};
  for (const auto& [value, action] : rows) {
    EXPECT_EQ(DecodeStaticButtons(value).action, action) << std::hex << value;
  }
  for (uint16_t n : {0, 7, 65535}) {
    for (uint16_t next : {StepImageForward(n), StepImageBack(n)}) {
      EXPECT_TRUE(next >= 1 && next <= 6) << n << " -> " << next;
    }
  }
}

// A folder of up to 250 units fits; a longer one is refused without writing past the buffer.
TEST(ImagePath, FoldersThatFitAndNoMore) {
  wchar_t out[kImagePathCapacity + 8];
  std::wstring folder(250, L'a');
  ASSERT_TRUE(JoinFolderAndName(folder.c_str(), L"\\FIP1.JPG", out, kImagePathCapacity));
  EXPECT_EQ(std::wstring(out), folder + L"\\FIP1.JPG");
  folder += L'a';
  for (wchar_t& c : out) c = L'#';
  EXPECT_FALSE(JoinFolderAndName(folder.c_str(), L"\\FIP1.JPG", out, kImagePathCapacity));
  EXPECT_EQ(std::wstring(out, std::size(out)), L'\0' + std::wstring(std::size(out) - 1, L'#'));
}

// A file whose structure promises more than it holds is refused before any decoder sees it.
TEST(PictureCheck, OnlyWholeStructuresAreSound) {
  // SOI, APP0 of 4 bytes, SOF0 of 8x8 with one component, SOS header, data.
  const std::vector<uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x00, 0x00, 0xFF, 0xC0,
                                     0x00, 0x0B, 0x08, 0x00, 0x08, 0x00, 0x08, 0x01, 0x01, 0x11,
                                     0x00, 0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F,
                                     0x00, 0x12, 0x34};
  std::vector<uint8_t> bmp(54 + 16 * 3, 0);  // 5x3 pixels of 24 bits
  const int32_t fields[][2] = {{10, 54}, {14, 40}, {18, 5}, {22, 3}, {26, 1}, {28, 24}};
  for (const auto& [at, value] : fields) std::memcpy(&bmp[at], &value, 4);
  bmp[0] = 'B', bmp[1] = 'M';
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
      {"a JPEG cut before the scan", jpeg, {}, jpeg.size() - 20, false},
      {"a whole bitmap", bmp, {}, 0, true},
      {"a bitmap top-down", bmp, {{22, 0xFD}, {23, 0xFF}, {24, 0xFF}, {25, 0xFF}}, 0, true},
      {"a bitmap's last row cut", bmp, {}, 1, false},
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
