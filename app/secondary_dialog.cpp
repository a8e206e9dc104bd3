#include "app/secondary_dialog.h"

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

}  // namespace panelcast
