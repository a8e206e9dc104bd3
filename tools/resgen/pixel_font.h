// The generator's own bitmap font: proportional glyphs on a 9-row cell (capitals and ascenders
// 7 rows, descenders 2 more), written as bit rows in pixel_font.cpp so that every build draws
// the same pixels without any system font.
#pragma once

#include <string_view>

#include "tools/resgen/canvas.h"

namespace resgen {

constexpr int kFontCellHeight = 9;  // rows of a glyph cell, descenders included
constexpr int kFontCapHeight = 7;   // rows of a capital letter, from the top of the cell

// Width in pixels of the text at the given scale (1 px between glyphs, scaled too).
int TextWidth(std::string_view text, int scale = 1);

// Draws the text with its cell's top-left corner at (x, y); each font pixel becomes a
// scale x scale square of exactly the colour, with no smoothing. Characters the font lacks
// are drawn as a question mark.
void DrawText(Image& image, int x, int y, std::string_view text, Pixel colour, int scale = 1);

// Covers the text's pixels in a mask, for text that is painted with shading or a shadow.
void CoverText(Mask& mask, int x, int y, std::string_view text, int scale = 1);

}  // namespace resgen
