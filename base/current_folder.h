// The folder a setting starts from when the user has chosen none: the program's current folder,
// or the drive root when that cannot be had.
#pragma once

#include <windows.h>

namespace panelcast {

// Writes the current folder into `folder` (`capacity` characters, always terminated), or "C:\"
// when the current folder cannot be read.
void CurrentFolderOrDriveRoot(wchar_t* folder, DWORD capacity);

template <DWORD kCapacity>
void CurrentFolderOrDriveRoot(wchar_t (&folder)[kCapacity]) {
  CurrentFolderOrDriveRoot(folder, kCapacity);
}

}  // namespace panelcast
