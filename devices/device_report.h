// The device information report: one panel's Plug and Play properties as plain text, for the
// Device Information dialog. Main thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace panelcast {

// The report's room in units, its terminator included.
inline constexpr std::size_t kReportCapacity = 5000;

// Builds the report of the panel on list line `index` into `text` (at most kReportCapacity - 1
// units) and remembers the service it names for the next registry walk. An index that names no
// panel leaves `text` empty and counts as made. False when the report could not be made: no
// device set, no panel interface, or no memory for the text.
bool BuildDeviceReport(uint32_t index, std::wstring& text);

}  // namespace panelcast
