// samples OUTPUT_DIR: writes the demo's sample pictures FIP1.BMP to FIP6.BMP into OUTPUT_DIR,
// each its number in large white figures on its own colour (sample_colours.h), right of the
// column where the panel shows its button labels. Same bytes on every run.
#include <filesystem>
#include <iostream>
#include <string>

#include "tools/resgen/bmp_file.h"
#include "tools/resgen/canvas.h"
#include "tools/resgen/pixel_font.h"
#include "tools/resgen/write_file.h"
#include "tools/samples/sample_colours.h"

namespace {

constexpr resgen::Pixel kWhite{255, 255, 255};
constexpr int kLabelColumn = 44;  // the labels' boxes end here
constexpr int kNumberScale = 20;  // 140 pixels tall
constexpr int kCaptionScale = 2;

resgen::Pixel FromRgb(std::uint32_t rgb) {
  return {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb)};
}

resgen::Image MakeSample(int number) {
  using namespace resgen;
  const Pixel background = FromRgb(samples::kBackgrounds[number - 1]);
  Image image(samples::kWidth, samples::kHeight, background);
  const int centreX = kLabelColumn + (samples::kWidth - kLabelColumn) / 2;
  const int centreY = 100;
  Mask ring(image.Width(), image.Height());
  CoverEllipse(ring, centreX, centreY, 88, 88);
  Mask inside(image.Width(), image.Height());
  CoverEllipse(inside, centreX, centreY, 82, 82);
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x) ring.At(x, y) -= inside.At(x, y);
  Paint(image, ring, Pixel{255, 255, 255, 170});
  const std::string figure = std::to_string(number);
  DrawText(image, centreX - TextWidth(figure, kNumberScale) / 2,
           centreY - kFontCapHeight * kNumberScale / 2, figure, kWhite, kNumberScale);
  const std::string caption = "SAMPLE PICTURE " + figure + " OF " + std::to_string(samples::kCount);
  DrawText(image, centreX - TextWidth(caption, kCaptionScale) / 2, 206, caption, kWhite,
           kCaptionScale);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: samples OUTPUT_DIR\n";
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::filesystem::create_directories(dir);
  bool ok = true;
  for (int n = 1; n <= samples::kCount; ++n) {
    const std::filesystem::path path = dir / ("FIP" + std::to_string(n) + ".BMP");
    ok = resgen::WriteFile(path, resgen::EncodeBmpFile(MakeSample(n))) && ok;
  }
  return ok ? 0 : 1;
}
