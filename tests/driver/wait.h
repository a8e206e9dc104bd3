#pragma once

#include <windows.h>

#include <functional>

namespace driver {

// Tests never sleep in place of a condition: they poll it every `intervalMs` until it holds (true)
// or `timeoutMs` has passed (false), asking once more at the deadline.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs,
                      DWORD intervalMs = 15) {
  for (const ULONGLONG deadline = GetTickCount64() + timeoutMs; !condition(); Sleep(intervalMs)) {
    if (GetTickCount64() >= deadline) return condition();
  }
  return true;
}

}  // namespace driver
