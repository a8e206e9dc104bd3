// The stand-in panel library's calls as the tests compare them.
#pragma once

#include <sstream>
#include <string>

#include "emulator/control/panel_control.h"

namespace feeds_test {

// A call's name and arguments, without the pointers that differ per run.
inline std::string DescribeCall(const emu::CallRecord& call) {
  std::istringstream in(call.args);
  std::string out = call.name, token;
  while (in >> token) {
    if (token.rfind("dev=", 0) != 0 && token.rfind("cb=", 0) != 0) out += ' ' + token;
  }
  return out;
}

}  // namespace feeds_test
