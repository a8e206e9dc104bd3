#include "app/secondary_dialog.h"

#include "resources/resource_ids.h"

namespace panelcast {

INT_PTR RunSecondaryDialog(HWND owner, int templateId, DLGPROC procedure) {
  const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId),
                                         owner, procedure, 0);
  if (result == -1) return result;  // never created: no quit message to wait for
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return result;
}

void EndSecondaryDialog(HWND dialog, WPARAM result) {
  EndDialog(dialog, static_cast<INT_PTR>(result));
  PostQuitMessage(0);
}

INT_PTR HandleOkDialogClosing(HWND dialog, UINT message, WPARAM wParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_OK) {
        EndSecondaryDialog(dialog, wParam);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        SendMessageW(dialog, WM_CLOSE, 0, 0);  // ends the dialog with 0
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
    case WM_DESTROY:
      EndSecondaryDialog(dialog, wParam);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace panelcast
