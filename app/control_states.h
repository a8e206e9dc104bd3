// Keeping the main window's controls in step with the chosen tool and the selected panel.
// Main thread.
#pragma once

#include <windows.h>

#include <cstdint>

namespace panelcast {

// The delay text beside the trackbar: `step` tenths of a second, shown in milliseconds.
void ShowDelayText(HWND window, int32_t step);

// Once at start-up: every slot's settings to their defaults, the trackbar's range and position,
// STOP disabled, START enabled when there is a panel, Setup enabled.
void ApplyInitialControlState(HWND window);

// The radio buttons, the settings controls and the Setup text for `mode` (1 to 5).
void ApplyModeRules(HWND window, uint16_t mode);

// START for the selected slot, Setup enabled. Callers run it only once start-up is complete.
void RefreshPushButtons(HWND window);

// Slot `index`'s rectangle, delay, format and hints into the settings controls, with START and STOP.
void DisplaySlotSettings(HWND window, uint32_t index);

// The mode rules for the current mode, the push-button refresh, then the selected slot's settings.
void RefreshControls(HWND window);

// Greys the window once the last panel is gone (the default rule of the window procedure).
void DisableControlsWithoutDevices(HWND window);

}  // namespace panelcast
