// Choosing the capture rectangle of the live tools: the half-transparent overlay that the user
// moves and sizes over the wanted area, and the check of typed coordinates at START.
#pragma once

#include <windows.h>

namespace panelcast {

// Setup for the live tools: the overlay, then its rectangle (or the full screen) into the
// selected slot, with the messages that say so. After a successful selection check.
void RunRegionSetup(HWND window);

// START's check of the four coordinate edits; on success the selected slot holds the rectangle,
// its screen flag, the trackbar's delay and the hint switch.
bool ValidateCoordinates(HWND window);

}  // namespace panelcast
