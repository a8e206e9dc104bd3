// When screen feeders running at once share one read of the screen, and how each one asking for
// its source is served: from the shared copy, by waiting for the read under way or for the others
// to take the copy it has had, by reading the screen for all, or by reading its own source as a
// feeder running alone does.
// No Windows header: built and tested natively as well.
#pragma once

#include <cstdint>

#include "feeds/source_rect.h"

namespace panelcast {

int64_t Area(const SourceRect& rect);  // 0 for a rectangle without width or height
bool Contains(const SourceRect& outer, const SourceRect& inner);
// The smallest rectangle holding both; a rectangle without area adds nothing.
SourceRect Covering(const SourceRect& a, const SourceRect& b);
SourceRect Intersection(const SourceRect& a, const SourceRect& b);  // empty when they do not meet

// A finished copy older than this is read again: the screen may have changed since, and a panel is
// to show what a read of its own would have shown. A round of thirty panels' frames fits in it.
inline constexpr int64_t kCopyFreshUs = 50'000;

// What a feeder finds when it asks for its source.
struct ShareView {
  int sharers = 0;          // feeders with a source, the one asking included
  SourceRect covering;      // the covering rectangle of their sources, within the desktop
  int64_t sourcesArea = 0;  // the areas of their sources, summed
  uint64_t copyNumber = 0;  // the finished copy: its read's number (0: none), rectangle, age
  SourceRect copyRect;
  int64_t copyAgeUs = 0;
  bool reading = false;  // a read under way: its rectangle and how long it has taken so far
  SourceRect readRect;
  int64_t readElapsedUs = 0;
  double usPerPixel = 0;  // the pace of the last read; 0 before the first
  // The others that share in every copy (they took the one before this) and have yet to take
  // this one: a feeder that has had it waits for them, so that one read serves a round of frames.
  int roundPending = 0;
  // The asking feeder's timings: its last stretch from the copy, its last read of its own, and
  // what its last stretch had taken when it made that read (0: none yet).
  int64_t lastStretchUs = 0;
  int64_t lastOwnReadUs = 0;
  int64_t stretchAtOwnReadUs = 0;
  int64_t waitedUs = 0;  // how long it has waited so far for this frame
};

enum class ShareChoice {
  kReadAlone,   // read the own source from the screen, as a feeder running alone does
  kTakeCopy,    // stretch the source from the finished copy
  kAwaitRead,   // wait for the read under way, then stretch from its copy
  kReadForAll,  // read the covering rectangle into the copy, then stretch from it
  kAwaitRound,  // wait for the others to take the copy this feeder has had, then ask again
};

// How long a read of the feeder's own source would take now: its last one, scaled by how much
// slower or faster its stretches have become since (the machine's load shows in both); and no
// less than its pixels at the last read's pace plus a stretch as long as its last one. No feeder
// waits longer than this for a frame.
int64_t OwnReadUs(const SourceRect& source, const ShareView& view);

// `lastCopyTaken` is the number of the copy the feeder's previous frame came from: no feeder
// takes a copy twice, so each of its frames is from a later read than the one before.
ShareChoice ChooseShare(const SourceRect& source, uint64_t lastCopyTaken, const ShareView& view);

}  // namespace panelcast
