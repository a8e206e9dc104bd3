// Pictures from the screen and PNG files of them in the artifacts folder, for comparing pixels
// and for looking at what a failed test saw.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace driver {

// A 24-bit picture in DIB layout: rows bottom-up, blue-green-red, each row padded to 4 bytes.
// A panel frame (320x240, 230400 bytes) has exactly this layout with no padding.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bgr;

  std::size_t Stride() const { return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3}; }
  // Pixel (x, y) with y counted from the top, as 0x00RRGGBB.
  uint32_t At(int x, int y) const;
};

// Colours (0x00RRGGBB) within `tolerance` in each channel.
bool Near(uint32_t a, uint32_t b, int tolerance);

// What `draw` paints into a new bitmap of that size (true when it painted); empty otherwise.
Picture DrawPicture(int width, int height, const std::function<bool(HDC)>& draw);

// What the screen shows inside `screenRect` (reads the desktop, so the area must be visible).
Picture CaptureScreen(const RECT& screenRect);
// The whole screen, or one window's outer rectangle.
Picture CaptureWindow(HWND window);
Picture CaptureWholeScreen();

// The folder for screenshots and dumps: $PANELCAST_ARTIFACTS (a Unix path is reached through
// Wine's Z: drive), else the temporary folder. Created when missing. Trailing backslash.
std::wstring ArtifactsFolder();

// Writes a PNG into the artifacts folder; `name` gets ".png" when it has no extension.
// Returns the full path, empty on failure.
std::wstring SavePng(const std::wstring& name, const Picture& picture);
// A panel frame as the program sends it (320x240, bottom-up BGR, 230400 bytes).
std::wstring SaveFramePng(const std::wstring& name, const std::vector<uint8_t>& frame,
                          int width = 320, int height = 240);
// A screenshot of the whole screen (window nullptr) or of one window.
std::wstring SaveScreenshot(const std::wstring& name, HWND window = nullptr);

}  // namespace driver
