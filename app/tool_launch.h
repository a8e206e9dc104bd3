// START of FeedMode 1: the external customizing tool, in the build that suits the system, started
// in its own folder. The program does not wait for it.
#pragma once

#include <windows.h>

namespace panelcast {

// Makes sure the tool folder holds the tool (offering the browser when it does not), then starts
// "Skinwright_x64.exe" from a 32-bit process on a 64-bit system and "Skinwright_x86.exe"
// otherwise. Failures are told in message boxes owned by `window`. Main thread.
void LaunchCustomizingTool(HWND window);

}  // namespace panelcast
