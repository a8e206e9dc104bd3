// Tests never sleep in place of a condition: they poll it with a time-out.
#pragma once

#include <windows.h>

#include <functional>

namespace driver {

// Polls `condition` every `intervalMs` until it holds (true) or `timeoutMs` has passed (false).
// It is asked once more at the deadline, so a slow machine gets the full time.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs,
                      DWORD intervalMs = 15) {
  for (const ULONGLONG deadline = GetTickCount64() + timeoutMs; !condition(); Sleep(intervalMs)) {
    if (GetTickCount64() >= deadline) return condition();
  }
  return true;
}

}  // namespace driver
