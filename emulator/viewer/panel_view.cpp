#include "emulator/viewer/panel_view.h"

#include <string>

namespace viewer {

namespace {

constexpr int kScreenX = 80, kScreenY = 34;
constexpr int kButtonX = 14, kButtonWidth = 54, kButtonHeight = 30;
// Top rows of the six label boxes the program draws, so each button sits beside its label.
constexpr int kLabelTops[6] = {7, 49, 93, 135, 178, 220};
constexpr int kEncoderY = kScreenY + 240 + 40, kEncoderRadius = 24;
constexpr int kLeftEncoderX = kScreenX + 36, kRightEncoderX = kScreenX + 320 - 36;

RECT Offset(POINT o, int x, int y, int w, int h) { return {o.x + x, o.y + y, o.x + x + w, o.y + y + h}; }

RECT ButtonRect(POINT o, int n) {
  return Offset(o, kButtonX, kScreenY + kLabelTops[n] + 7 - kButtonHeight / 2, kButtonWidth,
                kButtonHeight);
}
RECT NextPageRect(POINT o) { return Offset(o, kScreenX + 80, kEncoderY - 26, 160, 24); }
RECT RemoveRect(POINT o) { return Offset(o, kScreenX + 80, kEncoderY + 2, 160, 24); }

bool Inside(const RECT& r, POINT p) { return PtInRect(&r, p) != FALSE; }

// GDI objects selected for one drawing and put back and deleted on every path.
class Brush {
 public:
  Brush(HDC dc, COLORREF colour) : dc_(dc), brush_(CreateSolidBrush(colour)) {
    old_ = SelectObject(dc, brush_);
  }
  ~Brush() {
    SelectObject(dc_, old_);
    DeleteObject(brush_);
  }
  HBRUSH get() const { return brush_; }

 private:
  HDC dc_;
  HBRUSH brush_;
  HGDIOBJ old_;
};

void Text(HDC dc, RECT r, const std::wstring& text, UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE) {
  DrawTextW(dc, text.c_str(), -1, &r, format);
}

void PaintScreen(HDC dc, POINT o, const emu::PanelInfo& panel, const std::vector<uint8_t>* screen) {
  RECT area = Offset(o, kScreenX, kScreenY, 320, 240);
  if (screen != nullptr && screen->size() == emu::kFrameBytes) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 320;
    info.bmiHeader.biHeight = 240;  // the frame's first row is the bottom one
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, area.left, area.top, 320, 240, 0, 0, 0, 240, screen->data(), &info,
                      DIB_RGB_COLORS);
    return;
  }
  Brush black(dc, RGB(0, 0, 0));
  FillRect(dc, &area, black.get());
  SetTextColor(dc, RGB(110, 110, 110));
  if (panel.activePage < 0) Text(dc, area, L"Another program's page");
  if (panel.activePage == 0) Text(dc, area, L"No page shown");
}

void PaintButton(HDC dc, POINT o, int n, bool lit, bool down) {
  RECT r = ButtonRect(o, n);
  Brush face(dc, down ? RGB(70, 70, 78) : RGB(120, 120, 130));
  RoundRect(dc, r.left, r.top, r.right, r.bottom, 10, 10);
  Brush light(dc, lit ? RGB(255, 214, 64) : RGB(40, 40, 40));
  int cx = r.left + 12, cy = (r.top + r.bottom) / 2;
  Ellipse(dc, cx - 6, cy - 6, cx + 6, cy + 6);
  SetTextColor(dc, RGB(255, 255, 255));
  RECT label = r;
  label.left += 20;
  Text(dc, label, std::to_wstring(n + 1));
}

void PaintEncoder(HDC dc, POINT o, int x, const wchar_t* caption) {
  Brush face(dc, RGB(90, 90, 96));
  Ellipse(dc, o.x + x - kEncoderRadius, o.y + kEncoderY - kEncoderRadius, o.x + x + kEncoderRadius,
          o.y + kEncoderY + kEncoderRadius);
  SetTextColor(dc, RGB(220, 220, 220));
  Text(dc, Offset(o, x - 40, kEncoderY + kEncoderRadius, 80, 16), caption);
}

void PaintCommand(HDC dc, RECT r, const std::wstring& text) {
  Brush face(dc, RGB(200, 200, 205));
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
  SetTextColor(dc, RGB(0, 0, 0));
  Text(dc, r, text);
}

}  // namespace

Hit HitTest(POINT o, POINT p) {
  for (int n = 0; n < 6; ++n) {
    if (Inside(ButtonRect(o, n), p)) return {Hit::Kind::Button, 0x20u << n};
  }
  if (Inside(NextPageRect(o), p)) return {Hit::Kind::NextPage};
  if (Inside(RemoveRect(o), p)) return {Hit::Kind::Remove};
  RECT whole = Offset(o, 0, 0, kPanelWidth, kPanelHeight);
  if (!Inside(whole, p)) return {};
  return {OnLeftHalf(o, p) ? Hit::Kind::LeftEncoder : Hit::Kind::RightEncoder};
}

bool OnLeftHalf(POINT o, POINT p) { return p.x < o.x + kScreenX + 160; }

int NextPage(const emu::PanelInfo& panel) {
  std::vector<int> cycle;
  for (const emu::PageInfo& page : panel.pages) cycle.push_back(static_cast<int>(page.number));
  cycle.push_back(0);
  int shown = panel.activePage < 0 ? 0 : panel.activePage;
  for (std::size_t i = 0; i < cycle.size(); ++i) {
    if (cycle[i] == shown) return cycle[(i + 1) % cycle.size()];
  }
  return cycle.front();
}

void PaintPanel(HDC dc, POINT o, const emu::PanelInfo& panel, const std::vector<uint8_t>* screen,
                uint32_t pressed) {
  RECT body = Offset(o, 4, 4, kPanelWidth - 8, kPanelHeight - 8);
  {
    Brush frame(dc, RGB(48, 48, 54));
    RoundRect(dc, body.left, body.top, body.right, body.bottom, 18, 18);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(235, 235, 235));
  std::wstring page = panel.activePage > 0   ? L"page " + std::to_wstring(panel.activePage)
                      : panel.activePage < 0 ? std::wstring(L"another program")
                                             : std::wstring(L"no page");
  std::wstring title = std::wstring(panel.serial.begin(), panel.serial.end()) + L"  (" +
                       std::wstring(panel.type.begin(), panel.type.end()) + L")  " + page;
  Text(dc, Offset(o, 16, 8, kPanelWidth - 32, 22), title, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  PaintScreen(dc, o, panel, screen);
  const emu::PageInfo* shown = nullptr;
  for (const emu::PageInfo& p : panel.pages) {
    if (p.active) shown = &p;
  }
  for (int n = 0; n < 6; ++n) {
    PaintButton(dc, o, n, shown != nullptr && shown->leds[n], (pressed & (0x20u << n)) != 0);
  }
  PaintEncoder(dc, o, kLeftEncoderX, L"0x08 / 0x10");
  PaintEncoder(dc, o, kRightEncoderX, L"0x02 / 0x04");
  PaintCommand(dc, NextPageRect(o), L"Next page");
  PaintCommand(dc, RemoveRect(o), L"Remove panel");
}

}  // namespace viewer
