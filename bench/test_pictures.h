// Picture files made by the tests: BMP bytes written here, JPEG through the system's GDI+
// encoder, from a colour function; and the expected frame pixels to compare with.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/driver/driver.h"

namespace benchrig {

using ColourAt = std::function<uint32_t(int x, int y)>;  // 0x00RRGGBB, (0, 0) top-left

// A 24-bit bottom-up BMP file's bytes.
std::vector<uint8_t> BmpBytes(int width, int height, const ColourAt& colourAt);
// A JPEG file's bytes, encoded by GDI+ (empty when the encoder is not to be had).
std::vector<uint8_t> JpegBytes(int width, int height, const ColourAt& colourAt);

bool WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes);

// A fresh folder under the temporary folder, removed with its files when the object goes.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& name);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& Path() const { return path_; }  // no trailing backslash
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// Pixel (x, y from the top) of a bottom-up BGR panel frame, as 0x00RRGGBB.
uint32_t FramePixel(const std::vector<uint8_t>& frame, int x, int y);
using driver::Near;

// A pattern of 4x4 solid blocks (of any picture size) in well-separated colours.
uint32_t BlockColour(int column, int row);
ColourAt BlockPattern(int width, int height);
// Frame pixels more than `margin` pixels away from the blocks' edges (where scaling and the JPEG
// encoder blend neighbours) that do not show BlockColour within `tolerance`; `skip(x, y)` leaves
// pixels out. `first` describes the first.
int BlockMismatches(const std::vector<uint8_t>& frame, int tolerance, int margin,
                    const std::function<bool(int, int)>& skip, std::string& first);

}  // namespace benchrig
