// Injected failures: a named entry point answers a given result once or until cleared; a named
// entry point, or the soft-button handler's delivery, faults once.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace emu {

class FaultTable {
 public:
  void Set(const std::string& call, int32_t result, bool always) { faults_[call] = {result, always}; }
  void Clear() {
    faults_.clear();
    crashes_.clear();
  }
  // The next `call` (an entry point, or kSoftButtonDelivery) raises an access violation.
  void SetCrash(const std::string& call) { crashes_.insert(call); }
  bool TakeCrash(const std::string& call) { return crashes_.erase(call) != 0; }
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
  std::set<std::string> crashes_;
};

// The name under which the library's own thread faults just before it calls a soft-button handler.
inline constexpr char kSoftButtonDelivery[] = "SoftButtonHandler";

}  // namespace emu
