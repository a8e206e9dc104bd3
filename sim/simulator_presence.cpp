#include "sim/simulator_presence.h"

#include <windows.h>
#include <tlhelp32.h>

#include "base/scoped_win.h"
#include "sim/simulator_name.h"

namespace panelcast {

int32_t IsSimulatorRunning() {
  const ScopedHandle owned(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!owned) return 0;
  const HANDLE snapshot = owned.get();
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  int32_t running = 0;
  // The first entry is never compared: on Windows it is the idle process, never the simulator.
  if (Process32FirstW(snapshot, &entry)) {
    // The walk goes on after a match: one answer for one simulator or several.
    while (Process32NextW(snapshot, &entry)) {
      if (IsSimulatorExeName(entry.szExeFile)) running = 1;
    }
  }
  return running;
}

}  // namespace panelcast
