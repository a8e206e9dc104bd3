#include "emulator/simulator/gps_drawing.h"

#include <cstdio>

#include "emulator/simulator/gps_screen_layout.h"

namespace simstandin {
namespace {

COLORREF Rgb(uint32_t rrggbb) {
  return RGB((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF);
}

void Fill(HDC dc, RECT rect, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void Text(HDC dc, int x, int y, const char* text, COLORREF colour, HFONT font) {
  HGDIOBJ old = SelectObject(dc, font);
  SetTextColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);
  TextOutA(dc, x, y, text, lstrlenA(text));
  SelectObject(dc, old);
}

void DrawHeader(HDC dc, const GpsModel& model, HFONT font) {
  Fill(dc, {0, 0, kScreenWidth, kHeaderHeight}, RGB(16, 24, 72));
  char left[64];
  std::snprintf(left, sizeof(left), "%s  %d/%d", GroupName(model.group), model.page + 1,
                PageCount(model.group));
  Text(dc, 12, 12, left, RGB(120, 220, 255), font);
  Text(dc, 260, 12, PageName(model.group, model.page), RGB(255, 255, 255), font);
}

// Grid lines and terrain patches scroll with the phase; waypoints sit closer together at a longer
// range, so zooming visibly changes the map as well as the scale.
void DrawMap(HDC dc, const GpsModel& model, int phase, HFONT font) {
  const RECT map = {0, kHeaderHeight, kScreenWidth, kFooterTop};
  Fill(dc, map, RGB(10, 40, 20));
  HRGN clip = CreateRectRgn(map.left, map.top, map.right, map.bottom);
  SelectClipRgn(dc, clip);
  HPEN grid = CreatePen(PS_SOLID, 1, RGB(40, 90, 50));
  HGDIOBJ oldPen = SelectObject(dc, grid);
  const int spacing = 64, shift = (phase * 3) % spacing;
  for (int x = -spacing + shift; x < kScreenWidth; x += spacing) {
    MoveToEx(dc, x, map.top, nullptr);
    LineTo(dc, x, map.bottom);
  }
  for (int y = map.top - spacing + (phase * 2) % spacing; y < map.bottom; y += spacing) {
    MoveToEx(dc, 0, y, nullptr);
    LineTo(dc, kScreenWidth, y);
  }
  const int centreX = kScreenWidth / 2, centreY = (map.top + map.bottom) / 2;
  const int step = 40 + 20 * (kRangeCount - 1 - model.rangeIndex);  // closer range: wider apart
  HBRUSH waypoint = CreateSolidBrush(RGB(0, 200, 220));
  HGDIOBJ oldBrush = SelectObject(dc, waypoint);
  for (int i = -3; i <= 3; ++i) {
    const int x = centreX + i * step + shift - spacing / 2, y = centreY - i * step / 2;
    Ellipse(dc, x - 6, y - 6, x + 6, y + 6);
  }
  SelectObject(dc, oldBrush);
  DeleteObject(waypoint);
  // The aircraft, always in the middle, nose up.
  HBRUSH aircraft = CreateSolidBrush(RGB(255, 255, 255));
  oldBrush = SelectObject(dc, aircraft);
  const POINT shape[] = {{centreX, centreY - 16}, {centreX + 10, centreY + 12},
                         {centreX, centreY + 6}, {centreX - 10, centreY + 12}};
  Polygon(dc, shape, 4);
  SelectObject(dc, oldBrush);
  DeleteObject(aircraft);
  if (model.cursor) {
    HPEN cursor = CreatePen(PS_SOLID, 3, RGB(255, 0, 255));
    SelectObject(dc, cursor);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, centreX - 60, centreY - 40, centreX + 60, centreY + 40);
    SelectObject(dc, grid);
    DeleteObject(cursor);
  }
  SelectObject(dc, oldPen);
  DeleteObject(grid);
  SelectClipRgn(dc, nullptr);
  DeleteObject(clip);

  // The scale: a black box that the map never draws into, the bar and the range.
  Fill(dc, {kScaleBarLeft - 8, kScaleBarTop - 12, kScaleBarLeft + ScaleBarLength(kRangeCount - 1) + 100,
            kScaleBarTop + kScaleBarHeight + 12},
       RGB(0, 0, 0));
  const int length = ScaleBarLength(model.rangeIndex);
  Fill(dc, {kScaleBarLeft, kScaleBarTop, kScaleBarLeft + length, kScaleBarTop + kScaleBarHeight},
       Rgb(kScaleBarColour));
  Text(dc, kScaleBarLeft + length + 10, kScaleBarTop - 6, RangeText(model.rangeIndex),
       RGB(255, 255, 255), font);
}

void DrawFooter(HDC dc, const GpsModel& model, HFONT font) {
  Fill(dc, {0, kFooterTop, kScreenWidth, kScreenHeight}, RGB(48, 48, 48));
  char line[96];
  std::snprintf(line, sizeof(line), "KEY: %s   EVENTS: %u",
                model.lastKey.empty() ? "-" : model.lastKey.c_str(), model.events);
  Text(dc, 12, kFooterTop + 12, line, RGB(255, 255, 255), font);
}

}  // namespace

void DrawGpsScreen(HDC dc, const GpsModel& model, int phase) {
  HFONT font = CreateFontW(22, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                           FIXED_PITCH | FF_MODERN, L"Courier New");
  DrawHeader(dc, model, font);
  DrawMap(dc, model, phase, font);
  DrawFooter(dc, model, font);
  DeleteObject(font);
}

}  // namespace simstandin
