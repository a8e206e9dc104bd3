// The simulator stand-in's client connections: each has its own table of client event ids mapped
// to simulator event names. No Windows header: built and tested natively as well.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace simstandin {

class Connections {
 public:
  uint32_t Open();                     // a new connection's number, never 0, never reused
  bool Map(uint32_t connection, uint32_t eventId, const std::string& name);
  // The name that `eventId` is mapped to on the connection; nothing for an unknown connection
  // or an id never mapped.
  std::optional<std::string> Mapped(uint32_t connection, uint32_t eventId) const;
  bool Close(uint32_t connection);
  std::size_t OpenCount() const { return open_.size(); }

 private:
  uint32_t next_ = 1;
  std::map<uint32_t, std::map<uint32_t, std::string>> open_;
};

}  // namespace simstandin
