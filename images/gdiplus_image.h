// A decoded picture file, through the system's GDI+ flat interface: constructed empty, loaded
// from a path (any format the decoder knows, whatever the name's extension), stretched whole onto
// a device context, released on destruction. GDI+ is started once per process, on first use, and
// shut down once at the program's end.
#pragma once

#include <windows.h>

namespace panelcast {

class GdiplusImage {
 public:
  GdiplusImage() = default;
  ~GdiplusImage();
  GdiplusImage(const GdiplusImage&) = delete;
  GdiplusImage& operator=(const GdiplusImage&) = delete;

  // False when GDI+ cannot be started or the file is missing, unreadable, empty, truncated,
  // damaged or of a format the decoder does not know. A loaded picture is replaced.
  bool Load(const wchar_t* path);
  bool Loaded() const { return bitmap_ != nullptr; }

  // The whole picture onto `dc` at (0, 0), `width` by `height`, SRCCOPY, with the context's own
  // stretch mode (HALFTONE where the caller set it). False when nothing is loaded or GDI refuses.
  bool StretchTo(HDC dc, int width, int height) const;

 private:
  void Release();
  void* bitmap_ = nullptr;  // GpBitmap*; kept opaque so that users need no GDI+ header
};

// Shuts GDI+ down; pictures load no more afterwards. At the program's end, once no thread can
// decode (every worker ended by itself and the panel library is gone: its handlers decode too).
void ShutDownGdiplus();

}  // namespace panelcast
