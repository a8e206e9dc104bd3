// One recorded library call as a line of text: the same line goes to the log file and through the
// control channel, so both are read by one parser. Fields are separated by tabs:
//   sequence  tick  thread  name  result  args
// e.g. "17\t5012345\t44\tSetImage\t0x00000000\tdev=EMU0001 page=1 index=0 len=230400".
// Numbers are decimal except the result (0x + 8 hex digits). Text values inside args are quoted
// and escaped (QuoteText), so a line never holds a tab or a line break of its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace emu {

struct LogLine {
  uint32_t sequence = 0;
  uint32_t tick = 0;
  uint32_t thread = 0;
  std::string name;
  int32_t result = 0;
  std::string args;
};

std::string FormatLogLine(const LogLine& line);
std::optional<LogLine> ParseLogLine(std::string_view text);

// "text" with \" \\ \t \r \n and \xNN for other control bytes.
std::string QuoteText(std::string_view text);

}  // namespace emu
