#include "feeds/capture_surface.h"

#include "feeds/frame_format.h"

namespace panelcast {

bool CaptureSurface::Open() {
  screen_.reset(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
  if (!screen_.get()) return false;
  memory_.reset(CreateCompatibleDC(screen_.get()));
  if (!memory_.get()) return false;
  bitmap_.reset(CreateCompatibleBitmap(screen_.get(), kFrameWidth, kFrameHeight));
  if (!bitmap_.get()) return false;
  selectedBitmap_.Select(memory_.get(), bitmap_.get());
  SetStretchBltMode(memory_.get(), HALFTONE);
  // HALFTONE needs the brush origin set again after the mode changes.
  SetBrushOrgEx(memory_.get(), 0, 0, nullptr);
  if (GetObjectW(bitmap_.get(), sizeof(description_), &description_) == 0) return false;

  BITMAPINFOHEADER& header = pixelInfo_.header;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = description_.bmWidth;
  header.biHeight = description_.bmHeight;  // positive: rows bottom-up, as a FipFrame has them
  header.biPlanes = description_.bmPlanes;
  header.biBitCount = description_.bmBitsPixel;
  header.biCompression = BI_RGB;
  header.biSizeImage =
      static_cast<DWORD>(BytesPerPixel()) * description_.bmWidth * description_.bmHeight;
  // Only depths a frame can come from are read; others need no pixel buffer at all.
  if (BytesPerPixel() == 3 || BytesPerPixel() == 4) {
    if (!pixels_.Allocate(header.biSizeImage)) return false;
  }
  return frame_.Allocate(kFrameBytes);
}

CaptureSurface::Capture CaptureSurface::CaptureFrame(const SourceRect& source, uint8_t*& frame) {
  frame = nullptr;
  if (BytesPerPixel() != 3 && BytesPerPixel() != 4) return Capture::kOtherDepth;
  if (!share_.Stretch(source, memory_.get(), screen_.get())) return Capture::kFailed;
  if (GetDIBits(memory_.get(), bitmap_.get(), 0, description_.bmHeight, pixels_.data(),
                reinterpret_cast<BITMAPINFO*>(&pixelInfo_), DIB_RGB_COLORS) == 0) {
    return Capture::kFailed;
  }
  frame = FrameFromCapture(BytesPerPixel(), pixels_.data(), frame_.data());
  return frame ? Capture::kFrame : Capture::kOtherDepth;
}

}  // namespace panelcast
