#include "tests/driver/pictures.h"

#include <cstdio>
#include <cstdlib>

#include "tests/driver/png_writer.h"

namespace driver {
namespace {

// Device contexts and bitmaps released on every path.
struct ScreenDc {
  HDC dc = GetDC(nullptr);
  ~ScreenDc() { ReleaseDC(nullptr, dc); }
};
struct MemoryDc {
  HDC dc;
  explicit MemoryDc(HDC like) : dc(CreateCompatibleDC(like)) {}
  ~MemoryDc() { DeleteDC(dc); }
};
struct Bitmap {
  HBITMAP bitmap;
  explicit Bitmap(HBITMAP b) : bitmap(b) {}
  ~Bitmap() { if (bitmap) DeleteObject(bitmap); }
};

}  // namespace

uint32_t Picture::At(int x, int y) const {
  const uint8_t* p = bgr.data() + Stride() * static_cast<std::size_t>(height - 1 - y) + x * 3;
  return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift <= 16; shift += 8) {
    const int ca = static_cast<int>((a >> shift) & 0xFF);
    const int cb = static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(ca - cb) > tolerance) return false;
  }
  return true;
}

Picture CaptureScreen(const RECT& r) {
  Picture picture;
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return picture;
  ScreenDc screen;
  MemoryDc memory(screen.dc);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;  // positive: bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  Bitmap dib(CreateDIBSection(screen.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib.bitmap) return picture;
  HGDIOBJ old = SelectObject(memory.dc, dib.bitmap);
  const BOOL copied = BitBlt(memory.dc, 0, 0, w, h, screen.dc, r.left, r.top, SRCCOPY);
  GdiFlush();
  SelectObject(memory.dc, old);
  if (!copied) return picture;
  picture.width = w;
  picture.height = h;
  const auto* p = static_cast<const uint8_t*>(bits);
  picture.bgr.assign(p, p + picture.Stride() * h);
  return picture;
}

Picture CaptureWindow(HWND window) {
  RECT r{};
  if (!window || !GetWindowRect(window, &r)) return {};
  return CaptureScreen(r);
}

Picture CaptureWholeScreen() {
  RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return CaptureScreen(r);
}

std::wstring ArtifactsFolder() {
  std::wstring folder;
  wchar_t value[MAX_PATH];
  const DWORD n = GetEnvironmentVariableW(L"PANELCAST_ARTIFACTS", value, MAX_PATH);
  if (n > 0 && n < MAX_PATH) {
    folder = value;
    if (folder[0] == L'/') folder = L"Z:" + folder;  // Wine maps the Unix root to Z:
    for (auto& c : folder) {
      if (c == L'/') c = L'\\';
    }
  } else {
    GetTempPathW(MAX_PATH, value);
    folder = value;
  }
  if (folder.back() != L'\\') folder += L'\\';
  CreateDirectoryW(folder.c_str(), nullptr);  // fails harmlessly when it exists
  return folder;
}

std::wstring SavePng(const std::wstring& name, const Picture& picture) {
  const std::vector<uint8_t> png =
      EncodePngFromBottomUpBgr(picture.bgr.data(), picture.width, picture.height, picture.Stride());
  if (png.empty()) return {};
  std::wstring path = ArtifactsFolder() + name;
  if (name.find(L'.') == std::wstring::npos) path += L".png";
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return {};
  const bool written = fwrite(png.data(), 1, png.size(), f) == png.size();
  const bool closed = fclose(f) == 0;
  return written && closed ? path : std::wstring();
}

std::wstring SaveFramePng(const std::wstring& name, const std::vector<uint8_t>& frame, int width,
                          int height) {
  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.bgr = frame;
  if (picture.bgr.size() < picture.Stride() * static_cast<std::size_t>(height)) return {};
  return SavePng(name, picture);
}

std::wstring SaveScreenshot(const std::wstring& name, HWND window) {
  return SavePng(name, window ? CaptureWindow(window) : CaptureWholeScreen());
}

}  // namespace driver
