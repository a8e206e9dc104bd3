// The text form of a client-library call (see sim_link.h): a name, then key=value words, values
// either bare or in double quotes. No Windows header: built and tested natively as well.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace simstandin {

struct CallText {
  std::string name;
  std::map<std::string, std::string> args;  // quotes removed

  // The argument as a number (decimal or 0x hex); nothing when missing or not a number.
  std::optional<unsigned long> Number(const std::string& key) const;
};

// Nothing for an empty line or a malformed word (no '=', an unterminated quote).
std::optional<CallText> ParseCallText(const std::string& line);

}  // namespace simstandin
