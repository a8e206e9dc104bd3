#include "emulator/control/log_line.h"

#include <charconv>
#include <cstdio>
#include <vector>

namespace emu {

namespace {

std::vector<std::string_view> SplitTabs(std::string_view text, std::size_t maxFields) {
  std::vector<std::string_view> fields;
  while (fields.size() + 1 < maxFields) {
    std::size_t tab = text.find('\t');
    if (tab == std::string_view::npos) break;
    fields.push_back(text.substr(0, tab));
    text.remove_prefix(tab + 1);
  }
  fields.push_back(text);
  return fields;
}

bool ParseNumber(std::string_view text, uint32_t& value, int base) {
  if (text.empty()) return false;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::string FormatLogLine(const LogLine& line) {
  char head[96];
  std::snprintf(head, sizeof head, "%u\t%u\t%u\t", line.sequence, line.tick, line.thread);
  char result[16];
  std::snprintf(result, sizeof result, "\t0x%08X\t", static_cast<uint32_t>(line.result));
  return head + line.name + result + line.args;
}

std::optional<LogLine> ParseLogLine(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  std::vector<std::string_view> fields = SplitTabs(text, 6);
  if (fields.size() != 6) return std::nullopt;
  LogLine line;
  uint32_t result = 0;
  std::string_view resultText = fields[4];
  if (resultText.substr(0, 2) != "0x") return std::nullopt;
  if (!ParseNumber(fields[0], line.sequence, 10) || !ParseNumber(fields[1], line.tick, 10) ||
      !ParseNumber(fields[2], line.thread, 10) || !ParseNumber(resultText.substr(2), result, 16) ||
      fields[3].empty()) {
    return std::nullopt;
  }
  line.name = fields[3];
  line.result = static_cast<int32_t>(result);
  line.args = fields[5];
  return line;
}

std::string QuoteText(std::string_view text) {
  std::string quoted = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': quoted += "\\\""; break;
      case '\\': quoted += "\\\\"; break;
      case '\t': quoted += "\\t"; break;
      case '\r': quoted += "\\r"; break;
      case '\n': quoted += "\\n"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
          quoted += escaped;
        } else {
          quoted += static_cast<char>(c);
        }
    }
  }
  return quoted + "\"";
}

}  // namespace emu
