// The pipeline the screen feeders share (live monitor, FSX live view, GPS gauge): handlers and
// pages at start, a splash while the lights sweep, then frame after frame of a desktop rectangle
// stretched to 320x240 with the button labels over it, and the pages blanked and removed at the
// end. Each feeder says how it differs through a ScreenFeederConfig.
#pragma once

#include <windows.h>

#include "devices/device_slot.h"
#include "feeds/source_rect.h"
#include "panel_library/direct_output_abi.h"

namespace panelcast {

// What a cycle shows when the desktop has neither 24 nor 32 bits a pixel.
enum class OtherDepthFrame {
  kBlankFirstPage,     // live monitor, FSX live view
  kSplashEveryPage,    // GPS gauge: the splash to every page, or every page blanked without one
};

struct ScreenFeederConfig {
  directoutput::PageChangeCallback pageHandler = nullptr;
  directoutput::SoftButtonCallback softButtonHandler = nullptr;
  int pageCount = 1;      // page 1 is added as the active page; a second page 2 without flags
  int splashId = 0;       // sent to page 1 at the start
  int hintIds[2] = {};    // hint bitmap of each page, in page order
  // The desktop rectangle of a cycle, from the slot's fields of the moment.
  SourceRect (*sourceRect)(const DeviceSlot& slot) = nullptr;
  // Index of the page (and its hints) that receives this cycle's frame; null means page 1.
  int (*framePage)() = nullptr;
  OtherDepthFrame otherDepth = OtherDepthFrame::kBlankFirstPage;
};

// Runs a screen feeder on slot `slotIndex` until its runFlag drops, and returns the worker's exit
// code: 0 after the stop, 1 when the start failed (a handler or page refused, the capture surface
// or a buffer not to be had). Pages a failed start had added are removed again, so the next start
// on the panel is not refused for them. The slot's workerThread is cleared as the last act.
DWORD RunScreenFeeder(int slotIndex, const ScreenFeederConfig& config);

// A feeder pauses in slices of this length and ends the pause when runFlag drops, so that a long
// refresh delay (up to 5000 ms) never outlasts the 5000 ms a stop waits for the worker.
inline constexpr DWORD kPauseSliceMs = 20;

// After a cycle whose frame the panel refused (or that captured nothing), a feeder still pauses
// this long, so that a panel refusing frames does not cost a whole core.
inline constexpr DWORD kFailedCyclePauseMs = 100;

}  // namespace panelcast
