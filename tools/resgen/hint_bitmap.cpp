#include "tools/resgen/frame_bitmaps.h"
#include "tools/resgen/pixel_font.h"

namespace resgen {

Image MakeHintBitmap(const HintLabels& labels) {
  Image image(kFrameWidth, kFrameHeight, kHintTransparent);
  // Capitals are centred in the box's height; descenders still end two rows above its bottom.
  constexpr int kTextTop = (kHintBoxHeight - kFontCapHeight) / 2;
  for (std::size_t i = 0; i < labels.size(); ++i) {
    int top = kHintBoxTops[i];
    image.FillRect(kHintBoxLeft, top, kHintBoxWidth, kHintBoxHeight, kHintBox);
    int x = kHintBoxLeft + (kHintBoxWidth - TextWidth(labels[i])) / 2;
    DrawText(image, x, top + kTextTop, labels[i], kHintText);
  }
  return image;
}

}  // namespace resgen
