#include "feeds/screen_share_rules.h"

#include <algorithm>

namespace panelcast {

int64_t Area(const SourceRect& rect) {
  return rect.width > 0 && rect.height > 0 ? int64_t{rect.width} * rect.height : 0;
}

bool Contains(const SourceRect& outer, const SourceRect& inner) {
  return Area(inner) > 0 && inner.x >= outer.x && inner.y >= outer.y &&
         int64_t{inner.x} + inner.width <= int64_t{outer.x} + outer.width &&
         int64_t{inner.y} + inner.height <= int64_t{outer.y} + outer.height;
}

SourceRect Covering(const SourceRect& a, const SourceRect& b) {
  if (Area(a) == 0) return b;
  if (Area(b) == 0) return a;
  const int32_t left = std::min(a.x, b.x), top = std::min(a.y, b.y);
  const int32_t right = std::max(a.x + a.width, b.x + b.width);
  const int32_t bottom = std::max(a.y + a.height, b.y + b.height);
  return {left, top, right - left, bottom - top};
}

SourceRect Intersection(const SourceRect& a, const SourceRect& b) {
  const int32_t left = std::max(a.x, b.x), top = std::max(a.y, b.y);
  const int32_t right = std::min(a.x + a.width, b.x + b.width);
  const int32_t bottom = std::min(a.y + a.height, b.y + b.height);
  if (right <= left || bottom <= top) return {};
  return {left, top, right - left, bottom - top};
}

ShareChoice ChooseShare(const SourceRect& source, uint64_t lastCopyTaken, const ShareView& view) {
  // Alone, or with a source reaching off the desktop (its stretch clips as the screen does), or
  // with sources so far apart that one read of their covering rectangle costs more than theirs.
  if (view.sharers < 2 || !Contains(view.covering, source) ||
      Area(view.covering) > view.sourcesArea) {
    return ShareChoice::kReadAlone;
  }
  // What a frame may still wait, all waits of this frame together.
  const int64_t patience = OwnReadUs(source, view) - view.waitedUs;
  if (view.reading) {
    // Worth the wait only while what is left of the read takes no longer than a read of one's own.
    if (!Contains(view.readRect, source)) return ShareChoice::kReadAlone;
    const double left = view.usPerPixel * static_cast<double>(Area(view.readRect)) -
                        static_cast<double>(view.readElapsedUs);
    return left <= static_cast<double>(patience) ? ShareChoice::kAwaitRead
                                                 : ShareChoice::kReadAlone;
  }
  const bool fresh =
      view.copyNumber != 0 && Contains(view.copyRect, source) && view.copyAgeUs <= kCopyFreshUs;
  if (fresh && view.copyNumber != lastCopyTaken) return ShareChoice::kTakeCopy;
  // Had already: a new read now would serve only those back first, and the rest would find it
  // under way; the round is let finish first.
  if (fresh && view.roundPending > 0 && patience > 0) return ShareChoice::kAwaitRound;
  return ShareChoice::kReadForAll;
}

int64_t OwnReadUs(const SourceRect& source, const ShareView& view) {
  const int64_t fromPace =
      view.lastStretchUs +
      static_cast<int64_t>(view.usPerPixel * static_cast<double>(Area(source)));
  if (view.stretchAtOwnReadUs <= 0) return std::max(fromPace, view.lastOwnReadUs);
  return std::max(fromPace, view.lastOwnReadUs * view.lastStretchUs / view.stretchAtOwnReadUs);
}

}  // namespace panelcast
