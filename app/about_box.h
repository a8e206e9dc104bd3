// The about box: the program's name and version with a picture.
#pragma once

#include <windows.h>

namespace panelcast {

void ShowAboutBox(HWND owner);

}  // namespace panelcast
