// Whether a file is there, looked up by its exact path (no wildcard), as the folder checks and
// the static image show test for their files.
#pragma once

namespace panelcast {

// FindFirstFileW on `path`; the search handle is closed at once. False for an empty path.
bool FileExists(const wchar_t* path);

}  // namespace panelcast
