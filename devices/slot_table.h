// The process's slot table, shared by the main window, the workers, the watcher and the panel
// library's handlers. The pointer is published by the main thread at start-up, before any other
// thread of ours exists, and withdrawn only after every such thread has ended.
//
// A removal moves slots down while the library's handlers may be acting on a slot: the moves
// (and the filling of a new slot) run under SlotMoves, and a handler reaches its slot only
// through ActOnSlotOf, which finds it by device handle under the same lock at the moment it acts.
// A handler therefore never writes to a slot that has since passed to another panel.
#pragma once

#include <utility>

#include "base/scoped_win.h"
#include "devices/device_slot.h"

namespace panelcast {

SlotTable* Slots();                    // null before start-up and after exit
void PublishSlots(SlotTable* table);   // main thread

// Held by the main thread while slots move or a slot gets its panel; handlers wait meanwhile.
class SlotMoves : public ScopedSrwLock {
 public:
  SlotMoves();
};

// Shared side of the same lock, for ActOnSlotOf.
class SlotUse : public ScopedSrwLock {
 public:
  SlotUse();
};

// The first slot, in index order, that holds `device`; null when none does (or before start-up).
// Stable only while a SlotUse or SlotMoves is held, or on the main thread.
DeviceSlot* SlotOfDevice(directoutput::DeviceHandle device);

// Runs `act(slot)` on the slot that holds `device` now, with moves held off for its duration, and
// gives back true; false (and `act` not run) when no slot holds it. `act` must be short and make
// no call that could wait on the main thread: lights, frames and the simulator come after it.
template <typename Act>
bool ActOnSlotOf(directoutput::DeviceHandle device, Act&& act) {
  SlotUse use;
  DeviceSlot* slot = SlotOfDevice(device);
  if (!slot) return false;
  std::forward<Act>(act)(*slot);
  return true;
}

// Whether a slot holds `device` now: false for a panel the program no longer has.
inline bool HasSlot(directoutput::DeviceHandle device) {
  return ActOnSlotOf(device, [](DeviceSlot&) {});
}

}  // namespace panelcast
