#include "devices/serial_number.h"

#include <cwchar>

namespace panelcast {

SerialCut CutSerialNumber(const wchar_t* path, wchar_t* out, std::size_t outCapacity,
                          std::size_t maxChars) {
  SerialCut cut;
  if (outCapacity == 0) return cut;
  out[0] = L'\0';
  if (maxChars >= outCapacity) maxChars = outCapacity - 1;
  const wchar_t* start = path ? std::wcsstr(path, kPanelPathMarker) : nullptr;
  if (!start) return cut;
  const wchar_t* p = start + (sizeof(kPanelPathMarker) / sizeof(wchar_t) - 1);
  std::size_t n = 0;
  for (;; ++p) {
    if (*p == L'#' || n == maxChars) {
      cut.found = true;
      break;
    }
    if (*p == L'\0') break;
    wchar_t c = *p;
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    out[n++] = c;
  }
  out[n] = L'\0';
  return cut;
}

}  // namespace panelcast
