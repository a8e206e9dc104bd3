// The FSX live view: the live monitor for a rectangle over the simulator's picture. It starts
// only while the simulator runs (and never looks again), and it places a rectangle that reaches
// left of the primary screen differently (see FsxLiveViewSourceRect).
#pragma once

#include <windows.h>

namespace panelcast {

// Worker routine of FeedMode 3; the argument is the slot index.
DWORD WINAPI FsxLiveViewFeeder(void* slotIndexAsPointer);

}  // namespace panelcast
