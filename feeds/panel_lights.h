// The six soft-button lights beside a panel's screen, as every tool works them: the sweep at a
// worker's start, the blink of a pressed button, and all six set at once.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "panel_library/direct_output_abi.h"

namespace panelcast {

inline constexpr DWORD kLightCount = 6;
inline constexpr DWORD kLightLit = 1;
inline constexpr DWORD kLightDark = 0;

// The pages a worker added, page 1 first. Lights are set on each in this order.
struct PanelPages {
  DWORD numbers[2] = {1, 0};
  int count = 1;
};

// Lights 1 to 6, one after another, each on every page. The library's answers are not read: a
// light is only a hint to the user.
void SetAllLights(directoutput::DeviceHandle device, const PanelPages& pages, DWORD value);

// A worker's start: lights 1 to 6 lit, 300 ms apart; then all dark again when `buttonLights` is 0.
void SweepLights(directoutput::DeviceHandle device, const PanelPages& pages,
                 const std::atomic<int32_t>& buttonLights);

// A pressed button: its light goes dark and lit three times, 50 ms each, and ends dark when the
// panel's slot then has `buttonLights` 0 (looked up by device at that moment). A handler's call.
void BlinkLight(directoutput::DeviceHandle device, DWORD page, DWORD light);

// The two chords every tool answers alike, on the panel's slot at that moment: buttons 1+2 flip
// its labels, 3+4 its lights, which are then set all six on each of `pages` in turn. True when
// `buttons` is one of the two (answered, or the panel has no slot): the handler is done.
bool AnswerSwitchChord(directoutput::DeviceHandle device, uint32_t buttons,
                       const PanelPages& pages);

// The light switch pressed (buttons 3+4): flips `buttonLights` and gives back what the lights
// are to show now, kLightLit or kLightDark; the caller sets them on its pages.
DWORD FlipLightSwitch(std::atomic<int32_t>& buttonLights);

}  // namespace panelcast
