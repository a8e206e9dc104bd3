// Whether the simulator runs, judged by the executable names of the running processes. Keeps no
// state; any thread may ask (workers at their start, the GPS handlers on every press).
#pragma once

#include <cstdint>

namespace panelcast {

// 1 when a process named FSX.EXE (any ASCII case) runs, 0 otherwise. Walks the whole process
// list on every call.
int32_t IsSimulatorRunning();

}  // namespace panelcast
