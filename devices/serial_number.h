// Cutting a panel's serial number out of its USB interface path, e.g.
//   \\?\usb#vid_06a3&pid_a2ae#a1b2c3d4#{a5dcbf10-...}  ->  A1B2C3D4
// Pure logic: no Windows header.
#pragma once

#include <cstddef>

namespace panelcast {

// The marker that makes an interface path a panel's, compared with exact case.
inline constexpr wchar_t kPanelPathMarker[] = L"usb#vid_06a3&pid_a2ae#";

struct SerialCut {
  bool found = false;  // a "#" ended the serial, or the limit was reached
};

// Copies the characters after the marker in `path` into `out` (capacity `outCapacity`, at least
// maxChars + 1), upper-casing a to z, until a "#" or `maxChars` characters. `out` is always
// terminated. When the path has no marker, or ends before a "#" and the limit, the result is not
// found and `out` holds what was copied.
SerialCut CutSerialNumber(const wchar_t* path, wchar_t* out, std::size_t outCapacity,
                          std::size_t maxChars);

}  // namespace panelcast
