#include "base/file_exists.h"

#include <windows.h>

namespace panelcast {

bool FileExists(const wchar_t* path) {
  if (!path || !*path) return false;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(path, &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

}  // namespace panelcast
