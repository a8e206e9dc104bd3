// Ordering the identified panels after the USB composite-device service's list in the registry.
// Pure logic: no Windows header.
#pragma once

#include <cstddef>
#include <cwchar>
#include <utility>

namespace panelcast {

// The prefix of a registry text that names a panel, compared with exact case.
inline constexpr wchar_t kPanelInstancePrefix[] = L"USB\\VID_06A3&PID_A2AE\\";

// One registry text of the walk: when `text` names a panel and `position` is below `count`, the
// first entry from `position` on whose serial number occurs in `text` (an empty serial number
// occurs in every text) is swapped with the entry at `position`. Returns the next position.
// `Entry` needs a terminated wide-character array `serialNumber`.
template <typename Entry>
std::size_t PlaceEntryForText(Entry* entries, std::size_t count, std::size_t position,
                              const wchar_t* text) {
  if (!std::wcsstr(text, kPanelInstancePrefix) || position >= count) return position;
  for (std::size_t i = position; i < count; ++i) {
    if (std::wcsstr(text, entries[i].serialNumber)) {
      if (i != position) std::swap(entries[i], entries[position]);
      return position + 1;
    }
  }
  return position;
}

}  // namespace panelcast
