#include "images/render_image.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <new>

#include "panel_library/direct_output_api.h"
#include "feeds/bitmap_resource.h"
#include "feeds/frame_format.h"
#include "devices/slot_table.h"
#include "images/gdiplus_image.h"

namespace panelcast {
namespace {

constexpr DWORD kFramePage = 1;
constexpr LONG kPixelsPerMetre = 3200;

// Owners of what one render makes; each releases its object however the render ends.
struct MemoryDc {
  HDC dc = CreateCompatibleDC(nullptr);
  ~MemoryDc() { if (dc) DeleteDC(dc); }
};

struct FrameSection {
  HBITMAP bitmap = nullptr;
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
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap) pixels = nullptr;
  }
  ~FrameSection() { if (bitmap) DeleteObject(bitmap); }
};

// Selected for the object's life, so the section is out of the context before either is deleted.
struct Selection {
  HDC dc;
  HGDIOBJ previous;
  Selection(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
  ~Selection() { if (previous && previous != HGDI_ERROR) SelectObject(dc, previous); }
};

DeviceSlot* SlotAt(int slotIndex) {
  SlotTable* table = Slots();
  if (!table || slotIndex < 0 || slotIndex >= kMaxDevices) return nullptr;
  return &table->slots[slotIndex];
}

// The labels to lay over the frame, or null when the slot shows none or the bitmap is not to be
// had whole.
const uint8_t* HintOverlay(const DeviceSlot& slot, uint16_t hintId) {
  if (slot.showHints.load() != 1) return nullptr;
  const FrameBitmap hints = LoadFrameBitmap(ResourceModule(), hintId);
  return hints.length >= kFrameBytes ? hints.pixels : nullptr;
}

}  // namespace

void RenderImageFile(directoutput::DeviceHandle device, int slotIndex, const wchar_t* path,
                     uint16_t hintId) {
  GdiplusImage image;
  DeviceSlot* slot = SlotAt(slotIndex);
  if (!slot) return;
  const uint8_t* overlay = HintOverlay(*slot, hintId);
  if (!path || !*path) return;

  MemoryDc memory;
  if (!memory.dc) return;
  FrameSection section(memory.dc);
  std::unique_ptr<uint8_t[]> frame(new (std::nothrow) uint8_t[kFrameBytes]());
  if (!frame || !section.bitmap) return;
  Selection selected(memory.dc, section.bitmap);

  if (!image.Load(path)) return;
  SetStretchBltMode(memory.dc, HALFTONE);
  const bool drawn = image.StretchTo(memory.dc, kFrameWidth, kFrameHeight);
  GdiFlush();
  // A picture that decoded but could not be drawn would go out as a black frame: keep the
  // panel's picture instead, as for a file that does not decode.
  if (!drawn || !section.pixels) return;

  std::memcpy(frame.get(), section.pixels, kFrameBytes);
  if (overlay && slot->showHints.load() == 1) OverlayHints(frame.get(), overlay, kFrameBytes);
  (void)DirectOutput().SetImage(device, kFramePage, 0, static_cast<DWORD>(kFrameBytes),
                                frame.get());
}

}  // namespace panelcast
