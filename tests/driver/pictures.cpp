#include "tests/driver/pictures.h"

#include <cstdio>
#include <cstdlib>

#include "tools/resgen/png_file.h"

namespace driver {

uint32_t Picture::At(int x, int y) const {
  const uint8_t* p = bgr.data() + Stride() * static_cast<std::size_t>(height - 1 - y) + x * 3;
  return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift <= 16; shift += 8) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
        tolerance) {
      return false;
    }
  }
  return true;
}

Picture DrawPicture(int width, int height, const std::function<bool(HDC)>& draw) {
  Picture picture;
  if (width <= 0 || height <= 0) return picture;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(nullptr);
  HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib) {
    HGDIOBJ old = SelectObject(memory, dib);
    const bool drawn = draw(memory);
    GdiFlush();
    SelectObject(memory, old);
    if (drawn) {
      picture.width = width;
      picture.height = height;
      const auto* p = static_cast<const uint8_t*>(bits);
      picture.bgr.assign(p, p + picture.Stride() * height);
    }
    DeleteObject(dib);
  }
  DeleteDC(memory);
  return picture;
}

Picture CaptureScreen(const RECT& r) {
  return DrawPicture(r.right - r.left, r.bottom - r.top, [&](HDC dc) {
    HDC screen = GetDC(nullptr);
    const BOOL copied =
        BitBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return copied != FALSE;
  });
}

Picture CaptureWindow(HWND window) {
  RECT r{};
  if (!window || !GetWindowRect(window, &r)) return {};
  return CaptureScreen(r);
}

Picture CaptureWholeScreen() {
  return CaptureScreen({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

std::wstring ArtifactsFolder() {
  wchar_t value[MAX_PATH];
  const DWORD n = GetEnvironmentVariableW(L"PANELCAST_ARTIFACTS", value, MAX_PATH);
  std::wstring folder;
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
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.bgr.size() < picture.Stride() * picture.height) {
    return {};
  }
  resgen::Image image(picture.width, picture.height);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t rgb = picture.At(x, y);
      image.At(x, y) = {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255};
    }
  }
  const std::vector<uint8_t> png = resgen::EncodePngFile(image);
  std::wstring path = ArtifactsFolder() + name;
  if (name.find(L'.') == std::wstring::npos) path += L".png";
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return {};
  const bool written = fwrite(png.data(), 1, png.size(), f) == png.size();
  return fclose(f) == 0 && written ? path : std::wstring();
}

std::wstring SaveFramePng(const std::wstring& name, const std::vector<uint8_t>& frame, int width,
                          int height) {
  return SavePng(name, Picture{width, height, frame});
}

std::wstring SaveScreenshot(const std::wstring& name, HWND window) {
  return SavePng(name, window ? CaptureWindow(window) : CaptureWholeScreen());
}

}  // namespace driver
