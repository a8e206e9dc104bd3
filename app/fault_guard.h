// The last chance after a fault: a panel whose program faulted keeps its last picture and stops
// answering until the panel library is deinitialised, so the first unhandled fault on any of the
// program's threads (a worker, the watcher, a handler on the library's thread, the main thread)
// stops the workers and deinitialises the library, each within a time limit, before the fault
// ends the process as it would have. A fault during that ends the process at once.
#pragma once

namespace panelcast {

// Installs the guard for the whole process; the entry point does it first of all.
void InstallFaultGuard();

}  // namespace panelcast
