// The program's own pictures outside the panel frames: the about-box picture, the main window's
// banner and the icon's images.
#pragma once

#include <vector>

#include "tools/resgen/canvas.h"

namespace resgen {

constexpr int kAboutPictureWidth = 47, kAboutPictureHeight = 45;
constexpr int kBannerWidth = 734, kBannerHeight = 48;
constexpr int kIconSizes[] = {16, 32, 48};

// A white aeroplane on a blue square.
Image MakeAboutPicture();
// An aeroplane and the program's name in white on a sky gradient.
Image MakeBanner();
// The icon's images, one per size of kIconSizes: the aeroplane on a rounded blue panel.
std::vector<Image> MakeIconImages();

}  // namespace resgen
