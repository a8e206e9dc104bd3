#include "emulator/simulator/call_text.h"

#include <cstdlib>

namespace simstandin {

std::optional<unsigned long> CallText::Number(const std::string& key) const {
  const auto it = args.find(key);
  if (it == args.end() || it->second.empty()) return std::nullopt;
  char* end = nullptr;
  const unsigned long value = std::strtoul(it->second.c_str(), &end, 0);
  if (*end != '\0') return std::nullopt;
  return value;
}

std::optional<CallText> ParseCallText(const std::string& line) {
  CallText call;
  std::size_t pos = line.find(' ');
  call.name = line.substr(0, pos);
  if (call.name.empty()) return std::nullopt;
  while (pos != std::string::npos && pos < line.size()) {
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if (pos >= line.size()) break;
    const std::size_t eq = line.find('=', pos);
    if (eq == std::string::npos) return std::nullopt;
    const std::string key = line.substr(pos, eq - pos);
    if (key.empty() || key.find(' ') != std::string::npos) return std::nullopt;
    std::size_t valueStart = eq + 1;
    std::string value;
    if (valueStart < line.size() && line[valueStart] == '"') {
      const std::size_t close = line.find('"', valueStart + 1);
      if (close == std::string::npos) return std::nullopt;
      value = line.substr(valueStart + 1, close - valueStart - 1);
      pos = close + 1;
    } else {
      pos = line.find(' ', valueStart);
      value = line.substr(valueStart, pos == std::string::npos ? std::string::npos : pos - valueStart);
    }
    call.args[key] = value;
  }
  return call;
}

}  // namespace simstandin
