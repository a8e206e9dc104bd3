#include "tools/resgen/program_pictures.h"

#include <algorithm>

#include "tools/resgen/aeroplane.h"
#include "tools/resgen/pixel_font.h"

namespace resgen {
namespace {

constexpr Pixel kWhite{255, 255, 255};

// A blue tile (rounded when cornerRadius > 0, transparent outside) with a lit top edge and a
// white aeroplane flying up and to the right.
Image MakeAeroplaneTile(int width, int height, double cornerRadius) {
  Image image(width, height, Pixel{0, 0, 0, 0});
  Mask tile(width, height);
  CoverRoundedRect(tile, 0, 0, width, height, cornerRadius);
  PaintWith(image, tile, [&](int, int y) {
    return Mix(Pixel{70, 150, 236}, Pixel{14, 54, 140}, double(y) / (height - 1));
  });
  Mask bezel(width, height);
  CoverRoundedRect(bezel, 0, 0, width, height, cornerRadius);
  Mask inner(width, height);
  CoverRoundedRect(inner, 1, 1, width - 1, height - 1, std::max(0.0, cornerRadius - 1));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bezel.At(x, y) -= inner.At(x, y);
  Paint(image, bezel, Pixel{150, 200, 255, 160});
  double size = std::min(width, height) * 0.84;
  Mask plane(width, height);
  CoverPolygon(plane, AeroplaneOutline(width / 2.0, height / 2.0, size, 45));
  Paint(image, plane, kWhite);
  return image;
}

}  // namespace

Image MakeAboutPicture() { return MakeAeroplaneTile(kAboutPictureWidth, kAboutPictureHeight, 0); }

std::vector<Image> MakeIconImages() {
  std::vector<Image> images;
  for (int size : kIconSizes) images.push_back(MakeAeroplaneTile(size, size, size * 0.18));
  return images;
}

Image MakeBanner() {
  Image image(kBannerWidth, kBannerHeight);
  for (int y = 0; y < kBannerHeight; ++y)
    for (int x = 0; x < kBannerWidth; ++x) {
      Pixel left = Mix(Pixel{26, 96, 196}, Pixel{52, 132, 222}, double(y) / kBannerHeight);
      Pixel right = Mix(Pixel{104, 178, 240}, Pixel{150, 206, 248}, double(y) / kBannerHeight);
      image.At(x, y) = Mix(left, right, double(x) / (kBannerWidth - 1));
    }
  // Soft clouds towards the light end.
  Mask clouds(kBannerWidth, kBannerHeight);
  const double puffs[][4] = {{560, 34, 34, 11}, {592, 26, 26, 13}, {624, 33, 30, 10},
                             {672, 16, 22, 7},  {694, 12, 16, 8},  {712, 17, 18, 6}};
  for (const auto& p : puffs) CoverEllipse(clouds, p[0], p[1], p[2], p[3]);
  Paint(image, clouds, Pixel{255, 255, 255, 90});

  Mask plane(kBannerWidth, kBannerHeight);
  CoverPolygon(plane, AeroplaneOutline(30, 24, 40, 45));
  Paint(image, plane, kWhite);

  constexpr int kScale = 4, kTextX = 62;
  const int textY = (kBannerHeight - kFontCapHeight * kScale) / 2;
  Mask shadow(kBannerWidth, kBannerHeight);
  CoverText(shadow, kTextX + 2, textY + 2, "Panelcast", kScale);
  Paint(image, shadow, Pixel{8, 40, 100, 110});
  DrawText(image, kTextX, textY, "Panelcast", kWhite, kScale);
  return image;
}

}  // namespace resgen
