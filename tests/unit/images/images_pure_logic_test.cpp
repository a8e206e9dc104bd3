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

TEST(StaticButtons, ChordsButtonsAndEncoderBitsInTheirOrder) {
  EXPECT_EQ(DecodeStaticButtons(0x60).action, StaticAction::kFlipHints);
  EXPECT_EQ(DecodeStaticButtons(0x180).action, StaticAction::kFlipLights);
  EXPECT_EQ(DecodeStaticButtons(0x600).action, StaticAction::kFlipFormat);
  for (int n = 1; n <= 6; ++n) {
    const StaticButtonPress press = DecodeStaticButtons(0x20u << (n - 1));
    EXPECT_EQ(press.action, StaticAction::kShowImage);
    EXPECT_EQ(press.image, n);
    EXPECT_EQ(ButtonValueOfImage(n), 0x20u << (n - 1));
  }
  // 0x10 before 0x08 before 0x04 before 0x02; other bits beside them do not matter.
  EXPECT_EQ(DecodeStaticButtons(0x18).action, StaticAction::kStepBack);
  EXPECT_EQ(DecodeStaticButtons(0x0C).action, StaticAction::kStepForward);
  EXPECT_EQ(DecodeStaticButtons(0x06).action, StaticAction::kStepBack);
  EXPECT_EQ(DecodeStaticButtons(0x22).action, StaticAction::kStepForward);
  EXPECT_EQ(DecodeStaticButtons(0).action, StaticAction::kNone);
  EXPECT_EQ(DecodeStaticButtons(0xA0).action, StaticAction::kNone);  // buttons 1 and 3
  EXPECT_EQ(DecodeStaticButtons(0x01).action, StaticAction::kNone);
}

TEST(StaticButtons, EncodersWrapAtBothEndsAndNeverLeaveOneToSix) {
  EXPECT_EQ(StepImageForward(6), 1);
  EXPECT_EQ(StepImageBack(1), 6);
  for (uint16_t n = 1; n <= 5; ++n) EXPECT_EQ(StepImageForward(n), n + 1);
  for (uint16_t n = 2; n <= 6; ++n) EXPECT_EQ(StepImageBack(n), n - 1);
  for (uint16_t n : {0, 7, 65535}) {
    EXPECT_GE(StepImageForward(n), 1);
    EXPECT_LE(StepImageForward(n), 6);
    EXPECT_GE(StepImageBack(n), 1);
    EXPECT_LE(StepImageBack(n), 6);
  }
}

TEST(ImagePath, NamesAndHintBitmapsBySet) {
  EXPECT_STREQ(ImageFileName(0, 1), L"\\FIP1.JPG");
  EXPECT_STREQ(ImageFileName(1, 6), L"\\FIP6.BMP");
  EXPECT_EQ(ImageFileName(2, 1), nullptr);
  EXPECT_EQ(ImageFileName(0, 7), nullptr);
  EXPECT_EQ(HintBitmapOfFormat(0), 240);
  EXPECT_EQ(HintBitmapOfFormat(1), 241);
  EXPECT_EQ(HintBitmapOfFormat(-1), 0);
}

TEST(ImagePath, AFolderOfUpTo250UnitsFitsLongerOnesAreRefusedWithoutWritingPastTheBuffer) {
  wchar_t out[kImagePathCapacity + 8];
  std::wstring folder(250, L'a');
  ASSERT_TRUE(JoinFolderAndName(folder.c_str(), L"\\FIP1.JPG", out, kImagePathCapacity));
  EXPECT_EQ(std::wstring(out), folder + L"\\FIP1.JPG");
  folder += L'a';
  for (wchar_t& c : out) c = L'#';
  EXPECT_FALSE(JoinFolderAndName(folder.c_str(), L"\\FIP1.JPG", out, kImagePathCapacity));
  EXPECT_EQ(out[0], L'\0');
  for (std::size_t i = 1; i < sizeof(out) / sizeof(out[0]); ++i) ASSERT_EQ(out[i], L'#') << i;
  EXPECT_TRUE(JoinFolderAndName(L"", L"\\Skinwright_x86.exe", out, kImagePathCapacity));
  EXPECT_STREQ(out, L"\\Skinwright_x86.exe");
}


TEST(PictureCheck, JpegSegmentsMustBeWholeUpToTheScan) {
  // SOI, APP0 of 4 bytes, SOF0 of 8x8 with one component, SOS header, data.
  const std::vector<uint8_t> good = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x00, 0x00, 0xFF, 0xC0,
                                     0x00, 0x0B, 0x08, 0x00, 0x08, 0x00, 0x08, 0x01, 0x01, 0x11,
                                     0x00, 0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F,
                                     0x00, 0x12, 0x34};
  EXPECT_TRUE(PictureStructureIsSound(good.data(), good.size()));
  std::vector<uint8_t> bad = good;
  bad[4] = 0xFF;  // APP0 longer than the file
  EXPECT_FALSE(PictureStructureIsSound(bad.data(), bad.size()));
  bad = good;
  bad[14] = 0;
  bad[13] = 0;  // height 0
  EXPECT_FALSE(PictureStructureIsSound(bad.data(), bad.size()));
  bad = good;
  bad[5] = 0x01;  // length below 2
  EXPECT_FALSE(PictureStructureIsSound(bad.data(), bad.size()));
  EXPECT_FALSE(PictureStructureIsSound(good.data(), 20));  // cut before the scan
  EXPECT_FALSE(PictureStructureIsSound(good.data(), 0));
}

std::vector<uint8_t> Bitmap(int width, int height) {
  const std::size_t stride = (width * 3 + 3) & ~3;
  std::vector<uint8_t> out(54 + stride * height, 0);
  auto put = [&](std::size_t at, uint32_t v) { std::memcpy(&out[at], &v, 4); };
  out[0] = 'B';
  out[1] = 'M';
  put(10, 54);
  put(14, 40);
  put(18, width);
  put(22, height);
  out[26] = 1;
  out[28] = 24;
  return out;
}

TEST(PictureCheck, BitmapHeadersMustDescribePixelsInsideTheFile) {
  std::vector<uint8_t> good = Bitmap(5, 3);
  EXPECT_TRUE(PictureStructureIsSound(good.data(), good.size()));
  EXPECT_FALSE(PictureStructureIsSound(good.data(), good.size() - 1));  // last row cut
  std::vector<uint8_t> bad = good;
  bad[22] = 0xFF;
  bad[23] = 0xFF;  // a taller picture than the file holds
  EXPECT_FALSE(PictureStructureIsSound(bad.data(), bad.size()));
  bad = good;
  bad[14] = 41;  // unknown header size
  EXPECT_FALSE(PictureStructureIsSound(bad.data(), bad.size()));
  bad = good;
  bad[28] = 23;  // unknown depth
  EXPECT_FALSE(PictureStructureIsSound(bad.data(), bad.size()));
  bad = good;
  bad[10] = 0xFF;  // pixels after the end
  EXPECT_FALSE(PictureStructureIsSound(bad.data(), bad.size()));
  // Bottom-up or top-down alike.
  std::vector<uint8_t> topDown = good;
  const int32_t negative = -3;
  std::memcpy(&topDown[22], &negative, 4);
  EXPECT_TRUE(PictureStructureIsSound(topDown.data(), topDown.size()));
}

TEST(PictureCheck, OtherFormatsAreTheDecodersMatter) {
  const uint8_t png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  EXPECT_TRUE(PictureStructureIsSound(png, sizeof(png)));
}

}  // namespace
}  // namespace panelcast
