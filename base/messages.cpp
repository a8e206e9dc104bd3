#include "base/messages.h"

namespace panelcast {

int ShowMessage(HWND owner, const Message& message) {
  return MessageBoxW(owner, message.text, message.title, message.style);
}

HWND FindMainWindow() { return FindWindowW(nullptr, kMainWindowTitle); }

int ShowMessageOwnedByMain(const Message& message) {
  HWND owner = FindMainWindow();
  return ShowMessage(owner ? owner : GetDesktopWindow(), message);
}

}  // namespace panelcast
