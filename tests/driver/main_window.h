// Steps in the program's main window that the tests and the demo's tour share, made as a user
// makes them: typing a capture rectangle, and starting a tool on one of the listed panels.
#pragma once

#include <windows.h>

namespace driver {

// Types the rectangle into the four coordinate edits.
void TypeRect(HWND main, const RECT& rect);

// Selects line `line`, chooses the tool of `modeButton`, types `rect`, moves the trackbar to
// `delayStep` (when not negative; after the mode, which shows the slot's own settings) and presses
// START; true once STOP is enabled for it, within 15 s.
bool StartToolOn(HWND main, int line, int modeButton, const RECT& rect, int delayStep = -1);

}  // namespace driver
