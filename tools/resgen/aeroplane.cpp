#include "tools/resgen/aeroplane.h"

#include <cmath>
#include <numbers>

namespace resgen {
namespace {

// Right half of the symbol, nose to tail, in a unit square centred on 0 (y grows downwards).
// The left half mirrors it.
constexpr Point kRightHalf[] = {
    {0.000, -0.480}, {0.030, -0.462}, {0.050, -0.425}, {0.060, -0.370},  // nose
    {0.060, -0.120}, {0.455, 0.090},  {0.470, 0.130},  {0.455, 0.150},   // wing leading edge
    {0.060, 0.040},  {0.048, 0.300},  {0.200, 0.405},  {0.205, 0.440},   // wing and tailplane
    {0.190, 0.455},  {0.030, 0.420},  {0.000, 0.470},                    // tail
};

}  // namespace

std::vector<Point> AeroplaneOutline(double cx, double cy, double size, double degrees) {
  std::vector<Point> unit(std::begin(kRightHalf), std::end(kRightHalf));
  for (auto it = std::rbegin(kRightHalf) + 1; it != std::rend(kRightHalf) - 1; ++it)
    unit.push_back({-it->x, it->y});
  double angle = degrees * std::numbers::pi / 180, c = std::cos(angle), s = std::sin(angle);
  std::vector<Point> outline;
  for (const Point& p : unit)
    outline.push_back({cx + size * (p.x * c - p.y * s), cy + size * (p.x * s + p.y * c)});
  return outline;
}

}  // namespace resgen
