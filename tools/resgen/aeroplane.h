// The program's aeroplane symbol, seen from above, as one polygon.
#pragma once

#include <vector>

#include "tools/resgen/canvas.h"

namespace resgen {

// Outline of an aeroplane that fits a square of side `size` centred at (cx, cy), nose pointing
// up and turned clockwise by `degrees`.
std::vector<Point> AeroplaneOutline(double cx, double cy, double size, double degrees = 0);

}  // namespace resgen
