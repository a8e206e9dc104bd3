#include "devices/report_text.h"

namespace panelcast {

std::size_t FittingReportLength(std::wstring_view text, std::size_t capacity) {
  if (capacity == 0) return 0;
  const std::size_t room = capacity - 1;
  if (text.size() <= room) return text.size();
  // The last line break that begins at most at the end of the room: everything before it fits.
  const std::size_t lineEnd = text.substr(0, room + 2).rfind(L"\r\n");
  if (lineEnd != std::wstring_view::npos && lineEnd > 0) return lineEnd;
  std::size_t cut = room;
  // A high surrogate whose pair would be cut off goes too.
  if (cut > 0 && text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;
  return cut;
}

}  // namespace panelcast
