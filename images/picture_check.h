// A structural check of a picture file's bytes before they reach the system's decoder. Some
// decoders read past their input on a damaged JPEG segment length or bitmap header instead of
// refusing the file, which would take the program down; such files are refused here first.
// No Windows header: built and tested natively as well.
#pragma once

#include <cstddef>
#include <cstdint>

namespace panelcast {

// JPEG: every marker segment up to the start of the scan is whole and the frame header names a
// picture of some size. BMP: the headers are whole, name a known header size, depth and a
// picture of some size, and uncompressed pixels lie inside the file. Any other format is left to
// the decoder (true); an empty file is refused.
bool PictureStructureIsSound(const uint8_t* bytes, std::size_t size);

}  // namespace panelcast
