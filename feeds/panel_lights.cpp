#include "feeds/panel_lights.h"

#include "devices/slot_table.h"
#include "feeds/live_buttons.h"
#include "panel_library/direct_output_api.h"

namespace panelcast {
namespace {

constexpr DWORD kSweepStepMs = 300;
constexpr DWORD kBlinkHalfMs = 50;
constexpr int kBlinks = 3;

void SetLightOnPages(directoutput::DeviceHandle device, const PanelPages& pages, DWORD light,
                     DWORD value) {
  for (int p = 0; p < pages.count; ++p) {
    (void)DirectOutput().SetLed(device, pages.numbers[p], light, value);
  }
}

}  // namespace

void SetAllLights(directoutput::DeviceHandle device, const PanelPages& pages, DWORD value) {
  for (DWORD light = 1; light <= kLightCount; ++light) SetLightOnPages(device, pages, light, value);
}

void SweepLights(directoutput::DeviceHandle device, const PanelPages& pages,
                 const std::atomic<int32_t>& buttonLights) {
  for (DWORD light = 1; light <= kLightCount; ++light) {
    SetLightOnPages(device, pages, light, kLightLit);
    Sleep(kSweepStepMs);
  }
  if (buttonLights.load() == 0) SetAllLights(device, pages, kLightDark);
}

void BlinkLight(directoutput::DeviceHandle device, DWORD page, DWORD light) {
  for (int i = 0; i < kBlinks; ++i) {
    (void)DirectOutput().SetLed(device, page, light, kLightDark);
    Sleep(kBlinkHalfMs);
    (void)DirectOutput().SetLed(device, page, light, kLightLit);
    Sleep(kBlinkHalfMs);
  }
  // The switch as it is now, of the slot that holds the panel now: a removal may have moved it.
  int32_t lights = 1;
  (void)ActOnSlotOf(device, [&](DeviceSlot& slot) { lights = slot.buttonLights.load(); });
  if (lights == 0) (void)DirectOutput().SetLed(device, page, light, kLightDark);
}

bool AnswerSwitchChord(directoutput::DeviceHandle device, uint32_t buttons,
                       const PanelPages& pages) {
  if (buttons != kChordHints && buttons != kChordLights) return false;
  DWORD lights = kLightLit;
  const bool known = ActOnSlotOf(device, [&](DeviceSlot& slot) {
    if (buttons == kChordHints) {
      (void)FlipSwitchOf(slot.showHints);
    } else {
      lights = FlipLightSwitch(slot.buttonLights);
    }
  });
  if (!known || buttons != kChordLights) return true;
  for (int p = 0; p < pages.count; ++p) {
    SetAllLights(device, PanelPages{{pages.numbers[p], 0}, 1}, lights);
  }
  return true;
}

DWORD FlipLightSwitch(std::atomic<int32_t>& buttonLights) {
  return FlipSwitchOf(buttonLights) == 1 ? kLightLit : kLightDark;
}

}  // namespace panelcast
