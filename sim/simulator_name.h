// Whether a process's executable name is the simulator's. No Windows header: built and tested
// natively as well.
#pragma once

namespace panelcast {

// True when `exeName` is "FSX.EXE" with the ASCII letters in any case: no other folding, no path,
// no trimming, the whole name.
bool IsSimulatorExeName(const wchar_t* exeName);

}  // namespace panelcast
