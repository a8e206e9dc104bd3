#include "tools/resgen/canvas.h"

#include <algorithm>
#include <cmath>

namespace resgen {
namespace {

// Supersampling grid per pixel for filled shapes: 4 x 4 gives 17 levels of edge coverage.
constexpr int kSamples = 4;

template <typename Inside>
void CoverSampled(Mask& mask, double left, double top, double right, double bottom, Inside inside) {
  int x0 = std::max(0, static_cast<int>(std::floor(left)));
  int y0 = std::max(0, static_cast<int>(std::floor(top)));
  int x1 = std::min(mask.Width() - 1, static_cast<int>(std::ceil(right)));
  int y1 = std::min(mask.Height() - 1, static_cast<int>(std::ceil(bottom)));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      int hits = 0;
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx)
          hits += inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples) ? 1 : 0;
      float c = static_cast<float>(hits) / (kSamples * kSamples);
      mask.At(x, y) = std::max(mask.At(x, y), c);
    }
}

bool InsidePolygon(const std::vector<Point>& p, double x, double y) {
  bool inside = false;
  for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++)
    if ((p[i].y > y) != (p[j].y > y) &&
        x < (p[j].x - p[i].x) * (y - p[i].y) / (p[j].y - p[i].y) + p[i].x)
      inside = !inside;
  return inside;
}

double DistanceToSegment(Point p, Point a, Point b) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
  double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
  return std::sqrt(ex * ex + ey * ey);
}

std::uint8_t Channel(double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

}  // namespace

Image::Image(int width, int height, Pixel fill)
    : width_(width), height_(height), pixels_(std::size_t(width) * height, fill) {}

void Image::FillRect(int left, int top, int width, int height, Pixel colour) {
  for (int y = std::max(0, top); y < std::min(height_, top + height); ++y)
    for (int x = std::max(0, left); x < std::min(width_, left + width); ++x) At(x, y) = colour;
}

void Mask::Intersect(const Mask& other) {
  for (std::size_t i = 0; i < cover_.size(); ++i) cover_[i] = std::min(cover_[i], other.cover_[i]);
}

void CoverPolygon(Mask& mask, const std::vector<Point>& corners) {
  if (corners.size() < 3) return;
  double l = corners[0].x, r = l, t = corners[0].y, b = t;
  for (const Point& c : corners) {
    l = std::min(l, c.x), r = std::max(r, c.x), t = std::min(t, c.y), b = std::max(b, c.y);
  }
  CoverSampled(mask, l, t, r, b, [&](double x, double y) { return InsidePolygon(corners, x, y); });
}

void CoverEllipse(Mask& mask, double cx, double cy, double rx, double ry) {
  CoverSampled(mask, cx - rx, cy - ry, cx + rx, cy + ry, [&](double x, double y) {
    double u = (x - cx) / rx, v = (y - cy) / ry;
    return u * u + v * v <= 1.0;
  });
}

void CoverRoundedRect(Mask& mask, double left, double top, double right, double bottom, double radius) {
  CoverSampled(mask, left, top, right, bottom, [&](double x, double y) {
    if (x < left || x > right || y < top || y > bottom) return false;
    double cx = std::clamp(x, left + radius, right - radius);
    double cy = std::clamp(y, top + radius, bottom - radius);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
  });
}

void CoverStroke(Mask& mask, const std::vector<Point>& points, double width) {
  if (points.empty()) return;
  double half = width / 2;
  double l = points[0].x, r = l, t = points[0].y, b = t;
  for (const Point& p : points) {
    l = std::min(l, p.x), r = std::max(r, p.x), t = std::min(t, p.y), b = std::max(b, p.y);
  }
  int x0 = std::max(0, static_cast<int>(l - half - 1)), x1 = std::min(mask.Width() - 1, static_cast<int>(r + half + 1));
  int y0 = std::max(0, static_cast<int>(t - half - 1)), y1 = std::min(mask.Height() - 1, static_cast<int>(b + half + 1));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      Point centre{x + 0.5, y + 0.5};
      double d = DistanceToSegment(centre, points[0], points[0]);
      for (std::size_t i = 1; i < points.size(); ++i)
        d = std::min(d, DistanceToSegment(centre, points[i - 1], points[i]));
      float c = static_cast<float>(std::clamp(half + 0.5 - d, 0.0, 1.0));
      mask.At(x, y) = std::max(mask.At(x, y), c);
    }
}

Pixel Blend(Pixel under, Pixel over, double coverage) {
  double sa = over.a / 255.0 * coverage, da = under.a / 255.0;
  double outA = sa + da * (1 - sa);
  if (outA <= 0) return Pixel{0, 0, 0, 0};
  auto mix = [&](std::uint8_t s, std::uint8_t d) { return Channel((s * sa + d * da * (1 - sa)) / outA); };
  return Pixel{mix(over.r, under.r), mix(over.g, under.g), mix(over.b, under.b), Channel(outA * 255)};
}

Pixel Mix(Pixel a, Pixel b, double t) {
  auto m = [&](std::uint8_t u, std::uint8_t v) { return Channel(u + (v - u) * t); };
  return Pixel{m(a.r, b.r), m(a.g, b.g), m(a.b, b.b), m(a.a, b.a)};
}

void Paint(Image& image, const Mask& mask, Pixel colour) {
  PaintWith(image, mask, [&](int, int) { return colour; });
}

}  // namespace resgen
