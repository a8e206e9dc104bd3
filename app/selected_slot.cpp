#include "app/selected_slot.h"

#include "app/selection_index.h"
#include "app/shell_state.h"
#include "devices/device_list.h"

namespace panelcast {

DeviceSlot* SelectedSlot() {
  const auto index = SlotIndexOfSelection(Shell().selectedIndex.load(), kMaxDevices);
  if (!Devices().slots || !index) return nullptr;
  return &Devices().slots->slots[*index];
}

}  // namespace panelcast
