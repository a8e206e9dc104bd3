#include <cmath>
#include <numbers>
#include <string>

#include "tools/resgen/aeroplane.h"
#include "tools/resgen/frame_bitmaps.h"
#include "tools/resgen/pixel_font.h"

namespace resgen {
namespace {

constexpr Pixel kSkyTop{14, 58, 140};
constexpr Pixel kSkyBottom{6, 26, 82};
constexpr Pixel kWhite{255, 255, 255};
constexpr Pixel kPale{170, 205, 255};
constexpr Pixel kAccent{90, 160, 255};

// The left column, where the texts are centred; the drawings take the rest.
constexpr int kTextColumnWidth = 214;

std::vector<Point> EllipsePoints(double cx, double cy, double rx, double ry) {
  std::vector<Point> points;
  constexpr int kSteps = 96;
  for (int i = 0; i <= kSteps; ++i) {
    double a = 2 * std::numbers::pi * i / kSteps;
    points.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
  }
  return points;
}

void DrawCentredText(Image& image, int left, int width, int y, std::string_view text, Pixel colour,
                     int scale) {
  DrawText(image, left + (width - TextWidth(text, scale)) / 2, y, text, colour, scale);
}

// A globe with a shaded ocean, two land masses and a grid of meridians and parallels.
void DrawGlobe(Image& image, double cx, double cy, double r) {
  Mask disc(image.Width(), image.Height());
  CoverEllipse(disc, cx, cy, r, r);
  PaintWith(image, disc, [&](int x, int y) {
    double d = std::hypot(x + 0.5 - (cx - r * 0.35), y + 0.5 - (cy - r * 0.35)) / (r * 1.6);
    return Mix(Pixel{96, 178, 246}, Pixel{16, 62, 150}, std::min(1.0, d));
  });
  Mask land(image.Width(), image.Height());
  CoverPolygon(land, {{cx - 0.55 * r, cy - 0.62 * r}, {cx - 0.10 * r, cy - 0.78 * r},
                      {cx + 0.05 * r, cy - 0.45 * r}, {cx - 0.20 * r, cy - 0.05 * r},
                      {cx - 0.30 * r, cy + 0.45 * r}, {cx - 0.52 * r, cy + 0.10 * r},
                      {cx - 0.78 * r, cy - 0.20 * r}});
  CoverPolygon(land, {{cx + 0.25 * r, cy - 0.10 * r}, {cx + 0.70 * r, cy - 0.30 * r},
                      {cx + 0.88 * r, cy + 0.15 * r}, {cx + 0.55 * r, cy + 0.70 * r},
                      {cx + 0.30 * r, cy + 0.40 * r}});
  land.Intersect(disc);
  Paint(image, land, Pixel{70, 170, 96});
  Mask grid(image.Width(), image.Height());
  for (double lon : {0.0, 30.0, 60.0}) {
    double rx = r * std::sin(lon * std::numbers::pi / 180);
    CoverStroke(grid, lon == 0 ? std::vector<Point>{{cx, cy - r}, {cx, cy + r}} : EllipsePoints(cx, cy, rx, r), 1.1);
  }
  for (double lat : {-45.0, -20.0, 0.0, 20.0, 45.0}) {
    double y = cy - r * std::sin(lat * std::numbers::pi / 180), half = r * std::cos(lat * std::numbers::pi / 180);
    CoverStroke(grid, {{cx - half, y}, {cx + half, y}}, 1.1);
  }
  grid.Intersect(disc);
  Paint(image, grid, Pixel{200, 232, 255, 150});
  Mask rim(image.Width(), image.Height());
  CoverStroke(rim, EllipsePoints(cx, cy, r, r), 2.0);
  Paint(image, rim, Pixel{210, 236, 255});
}

// A runway seen from its threshold, narrowing towards the horizon.
void DrawRunway(Image& image, double centreX, double top, double bottom, double topHalf, double bottomHalf) {
  auto edgeAt = [&](double y, double side) {
    double t = (y - top) / (bottom - top);
    return centreX + side * (topHalf + (bottomHalf - topHalf) * t);
  };
  Mask strip(image.Width(), image.Height());
  CoverPolygon(strip, {{edgeAt(top, -1), top}, {edgeAt(top, 1), top}, {edgeAt(bottom, 1), bottom},
                       {edgeAt(bottom, -1), bottom}});
  Paint(image, strip, Pixel{58, 64, 78});
  Mask marks(image.Width(), image.Height());
  CoverStroke(marks, {{edgeAt(top, -0.92), top}, {edgeAt(bottom, -0.92), bottom}}, 1.2);
  CoverStroke(marks, {{edgeAt(top, 0.92), top}, {edgeAt(bottom, 0.92), bottom}}, 1.2);
  // Centre-line dashes grow towards the viewer, as in perspective.
  for (double y = top + 4, len = 3; y + len < bottom - 14; y += len * 2.2, len *= 1.35)
    CoverStroke(marks, {{centreX, y}, {centreX, y + len}}, 1.0 + (y - top) / (bottom - top));
  // Threshold stripes.
  for (int i = -3; i <= 3; ++i) {
    if (i == 0) continue;
    double s = i * 0.22;
    CoverPolygon(marks, {{edgeAt(bottom - 12, s) - 2, bottom - 12}, {edgeAt(bottom - 12, s) + 2, bottom - 12},
                         {edgeAt(bottom - 2, s) + 3, bottom - 2}, {edgeAt(bottom - 2, s) - 3, bottom - 2}});
  }
  Paint(image, marks, Pixel{236, 240, 246});
}

}  // namespace

Image MakeSplashBitmap(std::string_view title, std::string_view version) {
  Image image(kFrameWidth, kFrameHeight);
  for (int y = 0; y < kFrameHeight; ++y)
    image.FillRect(0, y, kFrameWidth, 1, Mix(kSkyTop, kSkyBottom, double(y) / (kFrameHeight - 1)));

  DrawCentredText(image, 0, kFrameWidth, 14, title, kWhite, 4);
  image.FillRect(16, 52, kFrameWidth - 32, 2, kAccent);

  DrawCentredText(image, 0, kTextColumnWidth, 84, "Flight Instrument Panel", kPale, 2);
  DrawCentredText(image, 0, kTextColumnWidth, 122, "Panelcast v" + std::string(version), kWhite, 3);
  DrawCentredText(image, 0, kTextColumnWidth, 204, "Waiting for data...", kPale, 2);

  DrawRunway(image, 266, 178, 240, 6, 42);
  DrawGlobe(image, 266, 118, 44);
  Mask plane(image.Width(), image.Height());
  CoverPolygon(plane, AeroplaneOutline(296, 78, 26, 45));
  Paint(image, plane, kWhite);
  return image;
}

}  // namespace resgen
