#include "devices/device_list.h"

#include <cstring>
#include <cwchar>
#include <new>

#include "base/current_folder.h"
#include "devices/slot_table.h"
#include "panel_library/direct_output_api.h"

namespace panelcast {
namespace {

DeviceTables g_devices;  // main thread

DeviceAddition CheckDeviceType(directoutput::DeviceHandle device) {
  GUID type{};
  if (DirectOutput().GetDeviceType(device, &type) < 0) return DeviceAddition::kTypeFailed;
  return std::memcmp(&type, &directoutput::kFipDeviceType, sizeof(GUID)) == 0
             ? DeviceAddition::kAdded
             : DeviceAddition::kNotPanel;
}

struct DeviceSearch {
  directoutput::DeviceHandle device;
  bool found = false;
};

void __stdcall NoteSoughtDevice(directoutput::DeviceHandle device, void* search) {
  auto* sought = static_cast<DeviceSearch*>(search);
  if (device == sought->device) sought->found = true;
}

}  // namespace

bool StillConnected(directoutput::DeviceHandle device) {
  DeviceSearch search{device};
  if (DirectOutput().Enumerate(NoteSoughtDevice, &search) < 0) return true;
  return search.found;
}

DeviceAddition AddDevice(directoutput::DeviceHandle device) {
  const DeviceAddition type = CheckDeviceType(device);
  if (type != DeviceAddition::kAdded) return type;
  if (g_devices.count >= kMaxDevices) return DeviceAddition::kFull;
  DeviceSlot& slot = g_devices.slots->slots[g_devices.count];
  // A handle the library hands out again may still reach a handler of the panel it named before.
  SlotMoves moves;
  ResetSlotToDefaults(slot);
  slot.device = device;
  ++g_devices.count;
  return type;
}

DeviceTables& Devices() { return g_devices; }

bool AllocateDeviceTables() {
  g_devices.list = new (std::nothrow) DeviceListTable();
  if (!g_devices.list) return false;
  g_devices.slots = new (std::nothrow) SlotTable();
  if (!g_devices.slots) return false;
  g_devices.count = 0;
  PublishSlots(g_devices.slots);
  return true;
}

void FreeDeviceTables() {
  PublishSlots(nullptr);
  delete g_devices.slots;
  delete g_devices.list;
  g_devices = DeviceTables{};
}

void ResetSlotToDefaults(DeviceSlot& slot) {
  wchar_t folder[kPathCapacity] = {};
  CurrentFolderOrDriveRoot(folder);
  ResetSlotSettings(slot, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), folder);
}

void __stdcall OnEnumerateDevice(directoutput::DeviceHandle device, void* /*context*/) {
  // A failed type query or a panel of another type is skipped without a message.
  (void)AddDevice(device);
}

bool RemoveDevice(directoutput::DeviceHandle device) {
  SlotTable& slots = *g_devices.slots;
  const int slotIndex = FindSlotByDevice(slots, device);
  if (slotIndex < 0 || slotIndex >= g_devices.count) return false;
  {
    SlotMoves moves;
    for (int i = slotIndex; i + 1 < kMaxDevices; ++i) MoveSlot(slots.slots[i], slots.slots[i + 1]);
    ResetSlotToDefaults(slots.slots[kMaxDevices - 1]);
    slots.slots[kMaxDevices - 1].device = nullptr;
    slots.slots[kMaxDevices - 1].ownedThread = nullptr;
  }

  // The entry may be missing when identification paired fewer interfaces than there are panels;
  // the slot is gone all the same, so the count and the list follow it either way.
  DeviceListEntry* entries = g_devices.list->entries;
  for (int i = 0; i < kMaxDevices; ++i) {
    if (entries[i].device != device) continue;
    for (int j = i; j + 1 < kMaxDevices; ++j) entries[j] = entries[j + 1];
    entries[kMaxDevices - 1] = DeviceListEntry{};
    break;
  }
  --g_devices.count;
  return true;
}

}  // namespace panelcast
