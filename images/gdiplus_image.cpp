#include "images/gdiplus_image.h"

#include <objidl.h>
#include <gdiplus.h>

#include "base/scoped_win.h"
#include "images/picture_check.h"

namespace panelcast {
namespace {

namespace flat = Gdiplus::DllExports;

// GDI+ is started on first use and stays started until the program's end, when no decoder can
// run any more (ShutDownGdiplus). Decoders on several threads may start it at once: the lock
// makes one of them do it. Both fields are guarded by the lock.
enum class GdiplusState { kNotStarted, kStarted, kFailed, kShutDown };
SRWLOCK g_gdiplusLock = SRWLOCK_INIT;
GdiplusState g_gdiplusState = GdiplusState::kNotStarted;
ULONG_PTR g_gdiplusToken = 0;

bool StartGdiplusOnce() {
  AcquireSRWLockExclusive(&g_gdiplusLock);
  if (g_gdiplusState == GdiplusState::kNotStarted) {
    Gdiplus::GdiplusStartupInput input;
    g_gdiplusState = Gdiplus::GdiplusStartup(&g_gdiplusToken, &input, nullptr) == Gdiplus::Ok
                         ? GdiplusState::kStarted
                         : GdiplusState::kFailed;
  }
  const bool started = g_gdiplusState == GdiplusState::kStarted;
  ReleaseSRWLockExclusive(&g_gdiplusLock);
  return started;
}

Gdiplus::GpBitmap* AsBitmap(void* bitmap) { return static_cast<Gdiplus::GpBitmap*>(bitmap); }

// Larger files are not pictures anyone puts on a 320x240 screen; refusing them keeps one bad
// file from taking the process's memory.
constexpr LONGLONG kMaxFileBytes = 256LL << 20;

// The whole file in a memory stream, when its structure is sound (see picture_check.h). The
// decoder then never holds the file: some decoders keep their input open after refusing a
// damaged file, which would leak a handle per file and lock it.
IStream* ReadIntoStream(const wchar_t* path) {
  const ScopedHandle owned(CreateFileW(path, GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!owned) return nullptr;
  const HANDLE file = owned.get();
  LARGE_INTEGER size{};
  HGLOBAL memory = nullptr;
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= kMaxFileBytes) {
    memory = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(size.QuadPart));
  }
  bool read = false;
  if (memory) {
    const ScopedGlobalLock locked(memory);
    void* bytes = locked.data();
    DWORD got = 0;
    read = bytes && ReadFile(file, bytes, static_cast<DWORD>(size.QuadPart), &got, nullptr) &&
           got == static_cast<DWORD>(size.QuadPart) &&
           PictureStructureIsSound(static_cast<const uint8_t*>(bytes), got);
  }
  IStream* stream = nullptr;
  if (!read || CreateStreamOnHGlobal(memory, TRUE, &stream) != S_OK) {
    if (memory) GlobalFree(memory);
    return nullptr;
  }
  return stream;  // owns the memory now
}

}  // namespace

void ShutDownGdiplus() {
  AcquireSRWLockExclusive(&g_gdiplusLock);
  if (g_gdiplusState == GdiplusState::kStarted) Gdiplus::GdiplusShutdown(g_gdiplusToken);
  g_gdiplusState = GdiplusState::kShutDown;
  ReleaseSRWLockExclusive(&g_gdiplusLock);
}

GdiplusImage::~GdiplusImage() { Release(); }

void GdiplusImage::Release() {
  if (bitmap_) (void)flat::GdipDisposeImage(AsBitmap(bitmap_));
  bitmap_ = nullptr;
}

bool GdiplusImage::Load(const wchar_t* path) {
  Release();
  if (!path || !*path || !StartGdiplusOnce()) return false;
  IStream* stream = ReadIntoStream(path);
  if (!stream) return false;
  Gdiplus::GpBitmap* bitmap = nullptr;
  const Gdiplus::GpStatus status = flat::GdipCreateBitmapFromStream(stream, &bitmap);
  stream->Release();  // the bitmap keeps its own reference for as long as it needs the bytes
  if (status != Gdiplus::Ok || !bitmap) return false;
  bitmap_ = bitmap;
  return true;
}

bool GdiplusImage::StretchTo(HDC dc, int width, int height) const {
  if (!bitmap_) return false;
  UINT sourceWidth = 0, sourceHeight = 0;
  if (flat::GdipGetImageWidth(AsBitmap(bitmap_), &sourceWidth) != Gdiplus::Ok ||
      flat::GdipGetImageHeight(AsBitmap(bitmap_), &sourceHeight) != Gdiplus::Ok ||
      sourceWidth == 0 || sourceHeight == 0) {
    return false;
  }
  // The decoded pixels as top-down 32-bit rows, handed to GDI as they lie, so the destination's
  // stretch mode (HALFTONE) does the scaling.
  const Gdiplus::GpRect whole(0, 0, static_cast<INT>(sourceWidth), static_cast<INT>(sourceHeight));
  Gdiplus::BitmapData data{};
  if (flat::GdipBitmapLockBits(AsBitmap(bitmap_), &whole, Gdiplus::ImageLockModeRead,
                               PixelFormat32bppRGB, &data) != Gdiplus::Ok) {
    return false;
  }
  bool drawn = false;
  if (data.Stride == static_cast<INT>(sourceWidth) * 4 && data.Scan0) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(sourceWidth);
    info.bmiHeader.biHeight = -static_cast<LONG>(sourceHeight);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    drawn = StretchDIBits(dc, 0, 0, width, height, 0, 0, static_cast<int>(sourceWidth),
                          static_cast<int>(sourceHeight), data.Scan0, &info, DIB_RGB_COLORS,
                          SRCCOPY) != 0;
  }
  (void)flat::GdipBitmapUnlockBits(AsBitmap(bitmap_), &data);
  return drawn;
}

}  // namespace panelcast
