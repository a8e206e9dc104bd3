#include "devices/slot_table.h"

#include <atomic>

namespace panelcast {
namespace {

std::atomic<SlotTable*> g_slots{nullptr};  // main thread publishes; every thread reads
SRWLOCK g_slotMoves = SRWLOCK_INIT;         // exclusive: the main thread's moves; shared: handlers

}  // namespace

SlotTable* Slots() { return g_slots.load(); }

void PublishSlots(SlotTable* table) { g_slots = table; }

SlotMoves::SlotMoves() : ScopedSrwLock(g_slotMoves, kExclusive) {}

SlotUse::SlotUse() : ScopedSrwLock(g_slotMoves, kShared) {}

DeviceSlot* SlotOfDevice(directoutput::DeviceHandle device) {
  SlotTable* table = Slots();
  if (!table) return nullptr;
  const int index = FindSlotByDevice(*table, device);
  return index < 0 ? nullptr : &table->slots[index];
}

}  // namespace panelcast
