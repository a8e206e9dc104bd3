// Binding the panel library: its path from the registry, loading it, resolving its entry points.
#pragma once

#include <windows.h>

#include "panel_library/direct_output_api.h"

namespace panelcast {

// The library path value holds at most 4096 bytes of UTF-16; the buffer has one unit more, so
// that even a value that fills those bytes without a terminator ends inside it.
inline constexpr DWORD kLibraryPathBytes = 4096;
inline constexpr DWORD kLibraryPathChars = kLibraryPathBytes / sizeof(wchar_t) + 1;

enum class LibraryPathOutcome {
  kRead,       // `path` holds the library's path
  kKeyFailed,  // the key cannot be opened
  kNoValue,    // the value is missing or empty
};

// Reads HKLM\SOFTWARE\Zivovi\DirectOutput, value "DirectOutput", into `path` (always terminated,
// whatever type or length the value has; a longer value is not read). `path` is empty unless the
// outcome is kRead.
LibraryPathOutcome ReadLibraryPath(wchar_t (&path)[kLibraryPathChars]);

// Resolves every entry point of `library` into the process's table. Main thread, at start-up,
// before any other thread of ours exists. False when an entry point the program calls is missing:
// such a library is treated like one that does not load, rather than called through null.
bool ResolveDirectOutput(HMODULE library);

}  // namespace panelcast
