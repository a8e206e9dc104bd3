#include "app/selected_slot.h"

#include "app/shell_state.h"
#include "devices/device_list.h"

namespace panelcast {

DeviceSlot* SelectedSlot() {
  const uint32_t index = Shell().selectedIndex.load();
  if (!Devices().slots || index >= kMaxDevices) return nullptr;
  return &Devices().slots->slots[index];
}

}  // namespace panelcast
