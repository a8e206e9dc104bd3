// Names in a folder: the image files of the static image show and the probe names of the folder
// checks, joined to a folder in a fixed 260-unit buffer that is never written past. No Windows
// header: built and tested natively as well.
#pragma once

#include <cstddef>
#include <cstdint>

namespace panelcast {

inline constexpr std::size_t kImagePathCapacity = 260;

// `folder` followed directly by `name` (which brings its own backslash) into `out`. False, with
// `out` left empty, when the whole path and its terminator do not fit in `capacity` units: such
// a file is taken as missing rather than looked up under a cut name.
bool JoinFolderAndName(const wchar_t* folder, const wchar_t* name, wchar_t* out,
                       std::size_t capacity);

// "\FIP<n>.JPG" for format 0, "\FIP<n>.BMP" for format 1; null for any other format or an image
// outside 1 to 6.
const wchar_t* ImageFileName(int32_t format, int image);

// Hint bitmap of a set: 240 for the JPEG set, 241 for the BMP set, 0 for any other format.
uint16_t HintBitmapOfFormat(int32_t format);

}  // namespace panelcast
