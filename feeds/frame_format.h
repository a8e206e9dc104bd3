// The panel's full-screen picture and the byte-level steps that turn a capture into one.
// No Windows header: built and tested natively as well.
#pragma once

#include <cstddef>
#include <cstdint>

namespace panelcast {

inline constexpr int kFrameWidth = 320;
inline constexpr int kFrameHeight = 240;
inline constexpr std::size_t kFramePixels = static_cast<std::size_t>(kFrameWidth) * kFrameHeight;
// Blue, green, red; rows of 960 bytes without padding, bottom row first.
inline constexpr std::size_t kFrameBytes = kFramePixels * 3;

// Hint bitmaps mark their transparent pixels (1, 1, 1); the test is made per byte.
inline constexpr uint8_t kHintTransparentByte = 1;

// Lays a hint bitmap over a frame: every hint byte other than 1 replaces the frame's byte.
void OverlayHints(uint8_t* frame, const uint8_t* hints, std::size_t bytes);

// Keeps the first three bytes (blue, green, red) of each 4-byte pixel.
void CompactPixels32To24(const uint8_t* pixels, uint8_t* frame, std::size_t pixelCount);

// The frame a capture of `bytesPerPixel` gives: 3 bytes a pixel are a frame as they are, 4 are
// compacted into `frameBuffer`; any other depth gives none (null).
uint8_t* FrameFromCapture(int bytesPerPixel, uint8_t* pixels, uint8_t* frameBuffer);

}  // namespace panelcast
