#include "base/current_folder.h"

#include <cwchar>

namespace panelcast {

void CurrentFolderOrDriveRoot(wchar_t* folder, DWORD capacity) {
  if (GetCurrentDirectoryW(capacity, folder) == 0) std::wcscpy(folder, L"C:\\");
  folder[capacity - 1] = L'\0';
}

}  // namespace panelcast
