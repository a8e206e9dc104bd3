// An in-process helper for tests: the folder browser's selection can only be set with a message
// that carries a pointer, which is not carried between processes; the stand-in library lives in
// the program's process, so it sets the selection on a test's behalf (control command BROWSE).
#pragma once

#include <string>

namespace emu {

// Finds a visible folder browser of this process and selects `utf8Path` in it: a file-system
// path, or a shell folder without one given as "::{GUID}" (e.g. the computer folder), which is
// selected by its item list. False when no browser is open or the name is not understood.
bool SelectInFolderBrowser(const std::string& utf8Path);

}  // namespace emu
