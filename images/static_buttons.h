// What a soft-button value means to the static image show, and the encoders' walk through the six
// images. No Windows header: built and tested natively as well.
#pragma once

#include <cstdint>

namespace panelcast {

inline constexpr int kStaticImageCount = 6;
inline constexpr uint32_t kChordFormat = 0x600;  // buttons 5 and 6 together

enum class StaticAction { kNone, kFlipHints, kFlipLights, kFlipFormat, kShowImage, kStepForward,
                          kStepBack };

struct StaticButtonPress {
  StaticAction action = StaticAction::kNone;
  int image = 0;  // 1 to 6 for kShowImage, else 0
};

// The three chords and the six single buttons are whole values; anything else is read for its
// encoder bits, 0x10 first, then 0x08, 0x04 and 0x02, and only the first one set counts.
StaticButtonPress DecodeStaticButtons(uint32_t buttons);

// The encoders' position, 1 to 6, wrapping at both ends. A position outside 1 to 6 (never set so
// by the program) steps as if it were 1 or 6, so the result is always a valid image.
uint16_t StepImageForward(uint16_t image);
uint16_t StepImageBack(uint16_t image);

// The button value that chooses image `image` (1 to 6): 0x20 doubling up to 0x400.
uint32_t ButtonValueOfImage(int image);

}  // namespace panelcast
