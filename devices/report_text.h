// Fitting the device report into the text it is shown from. Pure logic: no Windows header.
#pragma once

#include <cstddef>
#include <string_view>

namespace panelcast {

// How many units of `text` to keep so that they and a terminator fit in `capacity` units. A text
// that does not fit loses whole lines from its end (it is cut just before a line break); a first
// line that alone is too long is cut between characters, never inside a surrogate pair.
std::size_t FittingReportLength(std::wstring_view text, std::size_t capacity);

}  // namespace panelcast
