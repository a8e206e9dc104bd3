// Injected failures: a named entry point answers a given result once or until cleared.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace emu {

class FaultTable {
 public:
  void Set(const std::string& call, int32_t result, bool always) { faults_[call] = {result, always}; }
  void Clear() { faults_.clear(); }
  // The result the call must answer now, if any; a one-time fault is used up.
  std::optional<int32_t> Take(const std::string& call) {
    auto it = faults_.find(call);
    if (it == faults_.end()) return std::nullopt;
    int32_t result = it->second.result;
    if (!it->second.always) faults_.erase(it);
    return result;
  }

 private:
  struct Fault {
    int32_t result;
    bool always;
  };
  std::map<std::string, Fault> faults_;
};

}  // namespace emu
