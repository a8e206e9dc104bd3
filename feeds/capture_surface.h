// What a screen feeder sets up once and keeps for its whole run: a device context over the whole
// desktop, a 320x240 bitmap of the desktop's depth in a memory device context set to HALFTONE
// stretching, the bitmap's description and pixel header, and two locked buffers (the pixels as
// read, and the frame they become on a 32-bit desktop), and its place in the screen read shared
// with the other screen feeders. Nothing is allocated per frame.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/global_buffer.h"
#include "base/scoped_win.h"
#include "feeds/shared_screen_read.h"
#include "feeds/source_rect.h"

namespace panelcast {

class CaptureSurface {
 public:
  CaptureSurface() = default;
  CaptureSurface(const CaptureSurface&) = delete;
  CaptureSurface& operator=(const CaptureSurface&) = delete;

  // Sets everything up. False when any part cannot be had (the bitmap cannot be described, or a
  // buffer cannot be allocated); what was made is released with the surface.
  bool Open();

  enum class Capture { kFrame, kFailed, kOtherDepth };

  // Stretches `source` of the desktop onto the whole 320x240 bitmap (from the shared read when
  // it serves, else from the screen itself) and turns it into a FipFrame,
  // which `frame` then points at (inside this surface, valid until the next call). kFailed when
  // the stretch or the pixel read fails; kOtherDepth when the desktop has neither 24 nor 32 bits
  // a pixel, in which case nothing is captured.
  Capture CaptureFrame(const SourceRect& source, uint8_t*& frame);

  int BitsPerPixel() const { return description_.bmBitsPixel; }

 private:
  int BytesPerPixel() const { return description_.bmBitsPixel / 8; }

  ScreenReadShare share_;
  // Released in the reverse order: the bitmap leaves the memory context before either goes.
  ScopedDc screen_;
  ScopedDc memory_;
  ScopedGdiObject<HBITMAP> bitmap_;
  ScopedSelection selectedBitmap_;
  BITMAP description_ = {};
  // Room for a colour table after the header: a pixel read at 8 bits or less writes one there.
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  } pixelInfo_ = {};
  GlobalBuffer pixels_;
  GlobalBuffer frame_;
};

}  // namespace panelcast
