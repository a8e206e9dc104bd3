#include "images/render_image.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <new>

#include "base/scoped_win.h"
#include "devices/slot_table.h"
#include "feeds/bitmap_resource.h"
#include "feeds/frame_format.h"
#include "images/gdiplus_image.h"
#include "panel_library/direct_output_api.h"

namespace panelcast {
namespace {

constexpr DWORD kFramePage = 1;
constexpr LONG kPixelsPerMetre = 3200;

// The 24-bit section one render draws into, deleted however the render ends.
struct FrameSection {
  ScopedGdiObject<HBITMAP> bitmap;
  void* pixels = nullptr;  // owned by the section
  explicit FrameSection(HDC dc) {
    BITMAPINFO info;
    std::memset(&info, 0, sizeof(info));
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kFrameWidth;
    info.bmiHeader.biHeight = kFrameHeight;  // positive: bottom row first, as a frame is
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(kFrameBytes);
    info.bmiHeader.biXPelsPerMeter = kPixelsPerMetre;
    info.bmiHeader.biYPelsPerMeter = kPixelsPerMetre;
    bitmap.reset(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!bitmap.get()) pixels = nullptr;
  }
};

// Whether the panel's slot shows hints now (a removal may have moved it since the last look).
bool ShowsHints(directoutput::DeviceHandle device) {
  bool shows = false;
  (void)ActOnSlotOf(device, [&](DeviceSlot& slot) { shows = slot.showHints.load() == 1; });
  return shows;
}

// The labels to lay over the frame, or null when the panel shows none or the bitmap is not to be
// had whole.
const uint8_t* HintOverlay(directoutput::DeviceHandle device, uint16_t hintId) {
  if (!ShowsHints(device)) return nullptr;
  const FrameBitmap hints = LoadFrameBitmap(ResourceModule(), hintId);
  return hints.length >= kFrameBytes ? hints.pixels : nullptr;
}

}  // namespace

void RenderImageFile(directoutput::DeviceHandle device, const wchar_t* path, uint16_t hintId) {
  GdiplusImage image;
  if (!HasSlot(device)) return;
  const uint8_t* overlay = HintOverlay(device, hintId);
  if (!path || !*path) return;

  const ScopedDc memory(CreateCompatibleDC(nullptr));
  if (!memory.get()) return;
  FrameSection section(memory.get());
  std::unique_ptr<uint8_t[]> frame(new (std::nothrow) uint8_t[kFrameBytes]());
  if (!frame || !section.bitmap.get()) return;
  // Declared after the section, so the section is out of the context before either is deleted.
  const ScopedSelection selected(memory.get(), section.bitmap.get());

  if (!image.Load(path)) return;
  SetStretchBltMode(memory.get(), HALFTONE);
  const bool drawn = image.StretchTo(memory.get(), kFrameWidth, kFrameHeight);
  GdiFlush();
  // A picture that decoded but could not be drawn would go out as a black frame: keep the
  // panel's picture instead, as for a file that does not decode.
  if (!drawn || !section.pixels) return;

  std::memcpy(frame.get(), section.pixels, kFrameBytes);
  if (overlay && ShowsHints(device)) OverlayHints(frame.get(), overlay, kFrameBytes);
  (void)DirectOutput().SetImage(device, kFramePage, 0, static_cast<DWORD>(kFrameBytes),
                                frame.get());
}

}  // namespace panelcast
