// Icon files: one 32-bit image (colour with alpha, plus the 1-bit mask older readers use) per size.
#pragma once

#include <vector>

#include "tools/resgen/byte_writer.h"
#include "tools/resgen/canvas.h"

namespace resgen {

// Square images of at most 256 pixels, in the order given.
Bytes EncodeIcoFile(const std::vector<Image>& images);

}  // namespace resgen
