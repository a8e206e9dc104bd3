// Binding the panel library: its path from the registry, loading it, resolving its entry points.
#pragma once

#include <windows.h>

#include "devices/direct_output_api.h"

namespace panelcast {

// The library path value holds at most 4096 bytes of UTF-16; the buffer has one unit more, so
// that even a value that fills those bytes without a terminator ends inside it.
inline constexpr DWORD kLibraryPathBytes = 4096;
inline constexpr DWORD kLibraryPathChars = kLibraryPathBytes / sizeof(wchar_t) + 1;

// Reads HKLM\SOFTWARE\Zivovi\DirectOutput, value "DirectOutput", into `path` (always terminated,
// whatever type or length the value has; a longer value is not read). When the key cannot be opened, tells the user so before
// returning false; a missing or empty value returns false without a message.
bool ReadLibraryPath(wchar_t (&path)[kLibraryPathChars]);

// Resolves every entry point of `library` into the process's table. Main thread, at start-up,
// before any other thread of ours exists. False when an entry point the program calls is missing:
// such a library is treated like one that does not load, rather than called through null.
bool ResolveDirectOutput(HMODULE library);

}  // namespace panelcast
