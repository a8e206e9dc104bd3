#include "app/about_box.h"

#include "app/secondary_dialog.h"
#include "resources/resource_ids.h"

namespace panelcast {
namespace {

// Bitmap 230 at its own size, at the same place on every repaint.
void PaintPicture(HWND dialog) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  if (HBITMAP picture = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_ABOUT_PICTURE))) {
    if (HDC memory = CreateCompatibleDC(dc)) {
      BITMAP info{};
      GetObjectW(picture, sizeof(info), &info);
      HGDIOBJ previous = SelectObject(memory, picture);
      BitBlt(dc, 102, 30, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
      SelectObject(memory, previous);
      DeleteDC(memory);
    }
    DeleteObject(picture);
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
