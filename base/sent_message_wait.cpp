#include "base/sent_message_wait.h"

namespace panelcast {

bool WaitServingSentMessages(HANDLE handle, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    const DWORD remaining = elapsed >= timeoutMs ? 0 : timeoutMs - elapsed;
    const DWORD result = MsgWaitForMultipleObjectsEx(1, &handle, remaining, QS_SENDMESSAGE, 0);
    if (result == WAIT_OBJECT_0) return true;
    if (result != WAIT_OBJECT_0 + 1) return false;
    // Dispatches the messages other threads sent to this one's windows; posted ones stay queued.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace panelcast
