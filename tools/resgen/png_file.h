// PNG copies of the generated pictures, for people to look at. Uncompressed ("stored" deflate
// blocks): the files are larger than need be but the encoder stays a few dozen lines.
#pragma once

#include "tools/resgen/byte_writer.h"
#include "tools/resgen/canvas.h"

namespace resgen {

// 8-bit RGBA, every row with filter type 0.
Bytes EncodePngFile(const Image& image);

}  // namespace resgen
