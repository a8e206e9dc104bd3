// One read of the screen for the screen feeders that run at once. A feeder asking for its source
// takes it from the shared copy of the screen (the covering rectangle of the running feeders'
// sources, read at most once a frame period), stretching its own part with HALFTONE into its own
// bitmap; a feeder that runs alone reads the screen itself, as do those the sharing cannot serve
// better (screen_share_rules.h says when).
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

  // Stretches `source` of the desktop from the shared copy onto the whole 320x240 bitmap
  // selected into `target`, whose stretch mode is HALFTONE. False when the feeder is to read the
  // screen itself (nothing is drawn then). The feeder's own thread only.
  bool StretchFromSharedCopy(const SourceRect& source, HDC target);

 private:
  friend struct SharedCopy;
  SourceRect source_;                // under the state lock: the others' reads cover it
  ScreenReadShare* next_ = nullptr;  // under the state lock
  uint64_t lastCopyTaken_ = 0;       // the feeder's own thread only
};

// Reads of the shared copy made so far, and the bytes its pixels hold now (0 when none).
uint64_t SharedScreenReads();
std::size_t SharedCopyBytes();

// On unless turned off; while off every feeder reads on its own. Only while no screen feeder runs
// (the benchmark measures both ways in one process).
void SetScreenReadSharing(bool on);

}  // namespace panelcast
