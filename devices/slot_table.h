// The process's slot table, shared by the main window, the workers, the watcher and the panel
// library's handlers. The pointer is published by the main thread at start-up, before any other
// thread of ours exists, and withdrawn only after every such thread has ended.
#pragma once

#include "devices/device_slot.h"

namespace panelcast {

SlotTable* Slots();                    // null before start-up and after exit
void PublishSlots(SlotTable* table);   // main thread

// The first slot, in index order, that holds `device`; null when none does (or before start-up).
// What every panel handler does first. Any thread.
DeviceSlot* SlotOfDevice(directoutput::DeviceHandle device);

}  // namespace panelcast
