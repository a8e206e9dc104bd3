// What a test can measure of another process from outside under Wine, where handle counts and GUI
// resource counts read 0: its threads and its committed memory.
#pragma once

#include <windows.h>

#include <cstddef>

namespace manypanels {

// Threads of process `pid` in a Toolhelp snapshot; 0 when no snapshot could be had.
int ThreadCount(DWORD pid);

// Committed private memory of the process (PrivateUsage, or PagefileUsage where that is 0), in
// bytes; 0 when it could not be read. Opens the process with PROCESS_QUERY_INFORMATION |
// PROCESS_VM_READ.
std::size_t CommittedBytes(DWORD pid);

}  // namespace manypanels
