// Pictures in memory for the resource generator: an RGBA image stored top row first, and
// coverage masks that shapes are rendered into before they are painted, so that edges can be
// smooth where a picture wants it and exact where a frame overlay needs it.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace resgen {

struct Pixel {
  std::uint8_t r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Pixel&) const = default;
};

struct Point {
  double x = 0, y = 0;
};

class Image {
 public:
  Image(int width, int height, Pixel fill = {});
  int Width() const { return width_; }
  int Height() const { return height_; }
  Pixel& At(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  const Pixel& At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  // Sets every pixel of the rectangle (clipped to the image) to the colour, no blending.
  void FillRect(int left, int top, int width, int height, Pixel colour);

 private:
  int width_, height_;
  std::vector<Pixel> pixels_;
};

// Fraction of each pixel (0..1) that a shape covers.
class Mask {
 public:
  Mask(int width, int height) : width_(width), height_(height), cover_(std::size_t(width) * height) {}
  int Width() const { return width_; }
  int Height() const { return height_; }
  float& At(int x, int y) { return cover_[static_cast<std::size_t>(y) * width_ + x]; }
  float At(int x, int y) const { return cover_[static_cast<std::size_t>(y) * width_ + x]; }
  // Keeps only what both masks cover (clipping one shape by another).
  void Intersect(const Mask& other);

 private:
  int width_, height_;
  std::vector<float> cover_;
};

// Shapes add their coverage to a mask (the larger coverage wins where shapes overlap).
void CoverPolygon(Mask& mask, const std::vector<Point>& corners);
void CoverEllipse(Mask& mask, double cx, double cy, double rx, double ry);
void CoverRoundedRect(Mask& mask, double left, double top, double right, double bottom, double radius);
// A line of the given width along the points, with round joins and ends.
void CoverStroke(Mask& mask, const std::vector<Point>& points, double width);

// Composites a colour over the image through the mask (straight alpha "over").
void Paint(Image& image, const Mask& mask, Pixel colour);
// Paints with a colour that depends on the position, e.g. a gradient or shading.
template <typename ColourAt>
void PaintWith(Image& image, const Mask& mask, ColourAt colourAt);
Pixel Blend(Pixel under, Pixel over, double coverage);
// Linear mix of two colours, t = 0 gives a, 1 gives b.
Pixel Mix(Pixel a, Pixel b, double t);

template <typename ColourAt>
void PaintWith(Image& image, const Mask& mask, ColourAt colourAt) {
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x)
      if (float c = mask.At(x, y); c > 0) image.At(x, y) = Blend(image.At(x, y), colourAt(x, y), c);
}

}  // namespace resgen
