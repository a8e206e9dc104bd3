// What a soft-button value means to the live screen tools (live monitor, FSX live view), and the
// refresh-delay steps of the encoders. No Windows header: built and tested natively as well.
#pragma once

#include <atomic>
#include <cstdint>

namespace panelcast {

// Soft-button values as the panel library reports them.
inline constexpr uint32_t kButtonValues[6] = {0x20, 0x40, 0x80, 0x100, 0x200, 0x400};
inline constexpr uint32_t kChordHints = 0x60;    // buttons 1 and 2 together
inline constexpr uint32_t kChordLights = 0x180;  // buttons 3 and 4 together
inline constexpr uint32_t kEncoderUpA = 0x08;
inline constexpr uint32_t kEncoderUpB = 0x02;
inline constexpr uint32_t kEncoderDownA = 0x10;
inline constexpr uint32_t kEncoderDownB = 0x04;

// Refresh delays the buttons choose, in hundreds of milliseconds (button n chooses n - 1).
inline constexpr int32_t kMaxButtonDelay = 5;

enum class LiveAction { kNone, kFlipHints, kFlipLights, kSetDelay, kStepUp, kStepDown };

struct LiveButtonPress {
  LiveAction action = LiveAction::kNone;
  int button = 0;  // 1 to 6 for kSetDelay, else 0
};

// Whole values only: a chord other than the two above, or a button with an encoder bit, is
// nothing.
LiveButtonPress DecodeLiveButtons(uint32_t buttons);

// Encoder steps. Up wraps to 0 only from exactly 5, so a larger delay set in the main window
// (up to 50) keeps counting up; down wraps from 0 to 5.
int32_t StepDelayUp(int32_t delay);
int32_t StepDelayDown(int32_t delay);

// 1 becomes 0, anything else 1: the flip of showHints, buttonLights and imageFormat.
inline int32_t FlipSwitch(int32_t value) { return value == 1 ? 0 : 1; }

// The flip of a switch that other threads flip too, as one atomic step (two presses at once never
// lose one); gives back the new value.
inline int32_t FlipSwitchOf(std::atomic<int32_t>& value) {
  int32_t seen = value.load();
  while (!value.compare_exchange_weak(seen, FlipSwitch(seen))) {
  }
  return FlipSwitch(seen);
}

}  // namespace panelcast
