// Waiting on conditions: tests never sleep in place of a condition, they poll it with a time-out.
#pragma once

#include <windows.h>

#include <functional>

namespace driver {

// Polls `condition` every `intervalMs` until it holds (true) or `timeoutMs` has passed (false).
// The condition is checked once more at the deadline, so a slow machine gets the full time.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD intervalMs = 15);

}  // namespace driver
