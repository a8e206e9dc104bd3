#include "feeds/slot_table.h"

#include <atomic>

namespace panelcast {
namespace {

std::atomic<SlotTable*> g_slots{nullptr};  // main thread publishes; every thread reads

}  // namespace

SlotTable* Slots() { return g_slots.load(); }

void PublishSlots(SlotTable* table) { g_slots = table; }

}  // namespace panelcast
