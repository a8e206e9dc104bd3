#include "feeds/frame_format.h"

namespace panelcast {

void OverlayHints(uint8_t* frame, const uint8_t* hints, std::size_t bytes) {
  // Written as a select rather than a branch so the compiler vectorises it: it runs on every
  // frame.
  for (std::size_t i = 0; i < bytes; ++i) {
    frame[i] = hints[i] != kHintTransparentByte ? hints[i] : frame[i];
  }
}

void CompactPixels32To24(const uint8_t* pixels, uint8_t* frame, std::size_t pixelCount) {
  for (std::size_t i = 0; i < pixelCount; ++i) {
    frame[0] = pixels[0];
    frame[1] = pixels[1];
    frame[2] = pixels[2];
    pixels += 4;
    frame += 3;
  }
}

uint8_t* FrameFromCapture(int bytesPerPixel, uint8_t* pixels, uint8_t* frameBuffer) {
  switch (bytesPerPixel) {
    case 4:
      CompactPixels32To24(pixels, frameBuffer, kFramePixels);
      return frameBuffer;
    case 3:
      return pixels;
    default:
      return nullptr;
  }
}

}  // namespace panelcast
