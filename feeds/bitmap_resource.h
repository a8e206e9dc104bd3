// Frame-sized bitmaps (splash screens, button hints) from a module's resources. Their pixels are
// used in place: bottom-up 24-bit rows that start 40 bytes into the resource, after the header.
#pragma once

#include <windows.h>

#include <cstdint>

namespace panelcast {

struct FrameBitmap {
  const uint8_t* pixels = nullptr;  // the module's read-only data; never written or freed
  DWORD length = 0;                 // resource size less 42 (header and two trailing bytes)
  explicit operator bool() const { return pixels != nullptr; }
};

// Bitmap `id` of `module`, or an empty FrameBitmap when it is missing, cannot be loaded, or is
// too short to hold any pixels after its header.
FrameBitmap LoadFrameBitmap(HMODULE module, int id);

// The module whose bitmaps the feeders show: the program's own by default. Tests, which run
// outside the program, point it at the program's file loaded as data. Any thread reads it.
HMODULE ResourceModule();
void SetResourceModule(HMODULE module);

}  // namespace panelcast
