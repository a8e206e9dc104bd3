#include "emulator/simulator/connections.h"

namespace simstandin {

uint32_t Connections::Open() {
  const uint32_t number = next_++;
  open_[number];
  return number;
}

bool Connections::Map(uint32_t connection, uint32_t eventId, const std::string& name) {
  const auto it = open_.find(connection);
  if (it == open_.end()) return false;
  it->second[eventId] = name;
  return true;
}

std::optional<std::string> Connections::Mapped(uint32_t connection, uint32_t eventId) const {
  const auto it = open_.find(connection);
  if (it == open_.end()) return std::nullopt;
  const auto mapped = it->second.find(eventId);
  if (mapped == it->second.end()) return std::nullopt;
  return mapped->second;
}

bool Connections::Close(uint32_t connection) { return open_.erase(connection) == 1; }

}  // namespace simstandin
