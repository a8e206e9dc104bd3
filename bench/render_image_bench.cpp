// Render cost of one image on the static image show: RenderImageFile on a 1920x1080 JPEG (read,
// structure check, decode, HALFTONE stretch, copy, label overlay, send to the stand-in panel
// library), side by side with a bare GDI+ decode and stretch of the same file. Runs alternate,
// so both see the same machine load; medians are printed with their ratio (bare / full; 1.0
// means the program adds nothing). Run under Wine: wine bin/render_image_bench.exe [runs]
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "devices/slot_table.h"
#include "images/render_image.h"
#include "panel_library/direct_output_api.h"
#include "resources/resource_ids.h"
#include "bench/in_process_panels.h"
#include "bench/test_pictures.h"

namespace {

namespace flat = Gdiplus::DllExports;

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The reference: GDI+ decodes the file and draws it, scaled, onto a 320x240 24-bit section.
bool BareDecodeAndStretch(const wchar_t* path) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = 320;
  info.bmiHeader.biHeight = 240;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, section);
  Gdiplus::GpBitmap* bitmap = nullptr;
  Gdiplus::GpGraphics* graphics = nullptr;
  bool ok = flat::GdipCreateBitmapFromFile(path, &bitmap) == Gdiplus::Ok &&
            flat::GdipCreateFromHDC(dc, &graphics) == Gdiplus::Ok &&
            flat::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeHighQuality) ==
                Gdiplus::Ok &&
            flat::GdipDrawImageRectI(graphics, bitmap, 0, 0, 320, 240) == Gdiplus::Ok;
  if (graphics) flat::GdipDeleteGraphics(graphics);
  if (bitmap) flat::GdipDisposeImage(bitmap);
  GdiFlush();
  SelectObject(dc, old);
  DeleteObject(section);
  DeleteDC(dc);
  return ok;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 21;
  std::string problem;
  if (!benchrig::LoadInProcessPanels(1, problem)) {
    std::printf("set-up failed: %s\n", problem.c_str());
    return 1;
  }
  panelcast::DeviceSlot& slot = panelcast::Slots()->slots[0];
  const directoutput::DeviceHandle device = slot.device.load();
  (void)panelcast::DirectOutput().AddPage(device, 1, directoutput::kPageFlagSetAsActive);
  slot.showHints = 1;

  benchrig::TempFolder folder(L"render-bench");
  const std::wstring path = folder.File(L"FIP1.JPG");
  const auto picture = [](int x, int y) {
    return static_cast<uint32_t>(((x * 255 / 1920) << 16) | ((y * 255 / 1080) << 8) | ((x ^ y) & 0xFF));
  };
  if (!benchrig::WriteFileBytes(path, benchrig::JpegBytes(1920, 1080, picture))) {
    std::printf("could not write the test picture\n");
    return 1;
  }

  std::vector<double> full, bare;
  panelcast::RenderImageFile(device, path.c_str(), IDB_HINTS_JPG);  // warm-up of both paths
  BareDecodeAndStretch(path.c_str());
  for (int i = 0; i < runs; ++i) {
    double start = Now();
    panelcast::RenderImageFile(device, path.c_str(), IDB_HINTS_JPG);
    full.push_back(Now() - start);
    start = Now();
    if (!BareDecodeAndStretch(path.c_str())) {
      std::printf("the bare decode failed\n");
      return 1;
    }
    bare.push_back(Now() - start);
  }
  const double fullMs = Median(full), bareMs = Median(bare);
  std::printf("1920x1080 JPEG, %d runs each, medians:\n", runs);
  std::printf("  RenderImageFile (decode, stretch, overlay, send)  %8.2f ms\n", fullMs);
  std::printf("  bare GDI+ decode + stretch                        %8.2f ms\n", bareMs);
  std::printf("  ratio bare / full                                 %8.3f  (target >= 0.95)\n",
              bareMs / fullMs);
  return 0;
}
