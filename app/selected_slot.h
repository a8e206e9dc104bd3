// The slot of the panel selected in the device list. Main thread.
#pragma once

#include "devices/device_slot.h"

namespace panelcast {

// Null when there is no slot table or the selection names no slot (LB_ERR included: the list's
// selection can change under a modal dialog).
DeviceSlot* SelectedSlot();

}  // namespace panelcast
