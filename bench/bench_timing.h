// What every benchmark measures with: a thread's CPU time, a wait that keeps serving this
// thread's messages, and the median of a figure over the rounds.
#pragma once

#include <windows.h>

#include <vector>

namespace benchrig {

// The kernel and user time `thread` has used so far, in milliseconds (0 when Wine has none).
double ThreadCpuMs(HANDLE thread);

// Waits `milliseconds` while dispatching this thread's messages (the pattern windows and the
// panel library's callbacks need them).
void PumpFor(DWORD milliseconds);

// The middle value (the upper one of an even count); 0 for none.
double Median(std::vector<double> values);

}  // namespace benchrig
