// Which slot the device list's selection names. No Windows header: built and tested natively.
#pragma once

#include <cstdint>
#include <optional>

namespace panelcast {

// `selection` is the list's selection as the program keeps it (LB_GETCURSEL's answer stored
// unsigned, so LB_ERR, "nothing selected", is 0xFFFFFFFF). It names a slot only below
// `slotCount`: the selection can change under a modal dialog, to nothing included.
inline std::optional<uint32_t> SlotIndexOfSelection(uint32_t selection, uint32_t slotCount) {
  if (selection >= slotCount) return std::nullopt;
  return selection;
}

}  // namespace panelcast
