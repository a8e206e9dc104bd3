#include "feeds/source_rect.h"

namespace panelcast {

SourceRect LiveSourceRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return {left, top, right - left, bottom - top};
}

SourceRect FsxLiveViewSourceRect(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                 uint16_t screenFlag, int32_t primaryScreenWidth) {
  SourceRect rect = LiveSourceRect(left, top, right, bottom);
  if (screenFlag == 2) rect.x = primaryScreenWidth + left;
  return rect;
}

}  // namespace panelcast
