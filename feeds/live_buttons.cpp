#include "feeds/live_buttons.h"

namespace panelcast {

LiveButtonPress DecodeLiveButtons(uint32_t buttons) {
  if (buttons == kChordHints) return {LiveAction::kFlipHints, 0};
  if (buttons == kChordLights) return {LiveAction::kFlipLights, 0};
  for (int i = 0; i < 6; ++i) {
    if (buttons == kButtonValues[i]) return {LiveAction::kSetDelay, i + 1};
  }
  if (buttons == kEncoderUpA || buttons == kEncoderUpB) return {LiveAction::kStepUp, 0};
  if (buttons == kEncoderDownA || buttons == kEncoderDownB) return {LiveAction::kStepDown, 0};
  return {};
}

int32_t StepDelayUp(int32_t delay) { return delay == kMaxButtonDelay ? 0 : delay + 1; }

int32_t StepDelayDown(int32_t delay) { return delay == 0 ? kMaxButtonDelay : delay - 1; }

}  // namespace panelcast
