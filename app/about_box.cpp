#include "app/about_box.h"

#include "app/secondary_dialog.h"
#include "base/scoped_win.h"
#include "resources/resource_ids.h"

namespace panelcast {
namespace {

// Bitmap 230 at its own size, at the same place on every repaint.
void PaintPicture(HWND dialog) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  const ScopedGdiObject<HBITMAP> picture(
      LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_ABOUT_PICTURE)));
  const ScopedDc memory(picture.get() ? CreateCompatibleDC(dc) : nullptr);
  if (memory.get()) {
    BITMAP info{};
    GetObjectW(picture.get(), sizeof(info), &info);
    const ScopedSelection selected(memory.get(), picture.get());
    BitBlt(dc, 102, 30, info.bmWidth, info.bmHeight, memory.get(), 0, 0, SRCCOPY);
  }
  EndPaint(dialog, &paint);
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_PAINT:
      PaintPicture(dialog);
      return TRUE;
    default:
      return HandleOkDialogClosing(dialog, message, wParam);
  }
}

}  // namespace

void ShowAboutBox(HWND owner) { RunSecondaryDialog(owner, IDD_ABOUT, AboutProc); }

}  // namespace panelcast
