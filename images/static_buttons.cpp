#include "images/static_buttons.h"

#include "feeds/live_buttons.h"

namespace panelcast {

StaticButtonPress DecodeStaticButtons(uint32_t buttons) {
  if (buttons == kChordHints) return {StaticAction::kFlipHints, 0};
  if (buttons == kChordLights) return {StaticAction::kFlipLights, 0};
  if (buttons == kChordFormat) return {StaticAction::kFlipFormat, 0};
  for (int n = 1; n <= kStaticImageCount; ++n) {
    if (buttons == kButtonValues[n - 1]) return {StaticAction::kShowImage, n};
  }
  if (buttons & kEncoderDownA) return {StaticAction::kStepBack, 0};
  if (buttons & kEncoderUpA) return {StaticAction::kStepForward, 0};
  if (buttons & kEncoderDownB) return {StaticAction::kStepBack, 0};
  if (buttons & kEncoderUpB) return {StaticAction::kStepForward, 0};
  return {};
}

namespace {
uint16_t ValidImage(uint16_t image) {
  return image < 1 ? 1 : image > kStaticImageCount ? kStaticImageCount : image;
}
}  // namespace

uint16_t StepImageForward(uint16_t image) {
  image = ValidImage(image);
  return image == kStaticImageCount ? 1 : static_cast<uint16_t>(image + 1);
}

uint16_t StepImageBack(uint16_t image) {
  image = ValidImage(image);
  return image == 1 ? kStaticImageCount : static_cast<uint16_t>(image - 1);
}

uint32_t ButtonValueOfImage(int image) { return kButtonValues[image - 1]; }

}  // namespace panelcast
