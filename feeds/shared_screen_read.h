// One read of the screen for the screen feeders that run at once. A feeder asking for its source
// takes it from the shared copy of the screen (the covering rectangle of the running feeders'
// sources, read at most once a frame period), stretching its own part with HALFTONE into its own
// bitmap; a feeder that runs alone reads the screen itself, as do those the sharing cannot serve
// better (screen_share_rules.h says when). Feeders that take every copy make rounds: one that has
// had the copy lets the others take it before the next read is made, waiting no longer than a
// read of its own would take, so that each read serves every one of them a frame.
//
// Ownership: the copy (a device context over the whole desktop, a memory device context, a DIB
// section) belongs to the sharing. It is made by the first read for all, grown only when the
// covering rectangle outgrows it, and released as soon as fewer than two feeders remain. Its pixels
// are written under the pixel lock held exclusively and read under it held shared; everything else
// the sharing keeps, the feeders' sources included, is under its state lock.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "feeds/source_rect.h"

namespace panelcast {

// A feeder's place in the sharing, from its construction to its end.
class ScreenReadShare {
 public:
  ScreenReadShare();
  ~ScreenReadShare();
  ScreenReadShare(const ScreenReadShare&) = delete;
  ScreenReadShare& operator=(const ScreenReadShare&) = delete;

  // Stretches `source` of the desktop onto the whole 320x240 bitmap selected into `target`,
  // whose stretch mode is HALFTONE: from the shared copy when it serves, else from `screen`, a
  // device context over the whole desktop. The feeder's own thread only.
  bool Stretch(const SourceRect& source, HDC target, HDC screen);

 private:
  // Stretch's shared half: false when the feeder is to read the screen itself (nothing is drawn).
  bool FromSharedCopy(const SourceRect& source, HDC target);
  // Stretches the source from the copy; the copy's number, or 0 when it cannot serve.
  uint64_t StretchPart(const SourceRect& source, HDC target);

  friend struct SharedCopy;
  SourceRect source_;                // under the state lock: the others' reads cover it
  ScreenReadShare* next_ = nullptr;  // under the state lock
  // The copy the feeder's last frame came from: written by its own thread under the state lock,
  // read by the others under it to know who has yet to take the copy.
  uint64_t lastCopyTaken_ = 0;
  // The feeder's own thread only: how long its last stretch from the copy took, its last read of
  // its own, and what the stretch had taken then.
  int64_t lastStretchUs_ = 0;
  int64_t lastOwnReadUs_ = 0;
  int64_t stretchAtOwnReadUs_ = 0;
};

// Reads of the shared copy made so far, and the bytes its pixels hold now (0 when none).
uint64_t SharedScreenReads();
std::size_t SharedCopyBytes();

// On unless turned off; while off every feeder reads on its own. Only while no screen feeder runs
// (the benchmark measures both ways in one process).
void SetScreenReadSharing(bool on);

}  // namespace panelcast
