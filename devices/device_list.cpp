#include "devices/device_list.h"

#include <cstring>
#include <cwchar>
#include <new>

#include "app/control_states.h"
#include "app/messages.h"
#include "app/shell_state.h"
#include "devices/direct_output_api.h"
#include "devices/identification.h"
#include "feeds/slot_table.h"
#include "feeds/worker_supervision.h"
#include "resources/resource_ids.h"

namespace panelcast {
namespace {

DeviceTables g_devices;  // main thread

HWND ListBox() { return GetDlgItem(Shell().mainWindow, IDC_DEVICE_LIST); }

enum class TypeCheck { kFip, kOtherType, kFailed };

TypeCheck CheckDeviceType(directoutput::DeviceHandle device) {
  GUID type{};
  if (DirectOutput().GetDeviceType(device, &type) < 0) return TypeCheck::kFailed;
  return std::memcmp(&type, &directoutput::kFipDeviceType, sizeof(GUID)) == 0
             ? TypeCheck::kFip
             : TypeCheck::kOtherType;
}

// Takes `device` into the next free slot when it is a panel and there is room.
TypeCheck AddDevice(directoutput::DeviceHandle device) {
  const TypeCheck type = CheckDeviceType(device);
  if (type != TypeCheck::kFip || g_devices.count >= kMaxDevices) return type;
  DeviceSlot& slot = g_devices.slots->slots[g_devices.count];
  ResetSlotToDefaults(slot);
  slot.device = device;
  ++g_devices.count;
  return type;
}

void HighlightFirstLine() { SendMessageW(ListBox(), LB_SETCURSEL, 0, 0); }

}  // namespace

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
  if (GetCurrentDirectoryW(kPathCapacity, folder) == 0) std::wcscpy(folder, L"C:\\");
  folder[kPathCapacity - 1] = L'\0';
  ResetSlotSettings(slot, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), folder);
}

void __stdcall OnEnumerateDevice(directoutput::DeviceHandle device, void* /*context*/) {
  // A failed type query or a panel of another type is skipped without a message.
  (void)AddDevice(device);
}

void HandleDeviceArrival(directoutput::DeviceHandle device) {
  if (!g_devices.slots) return;
  switch (AddDevice(device)) {
    case TypeCheck::kFailed:
      ShowMessage(Shell().mainWindow, msg::kDeviceTypeFailed);
      return;
    case TypeCheck::kOtherType:
      ShowMessage(Shell().mainWindow, msg::kNotFip);
      return;
    case TypeCheck::kFip:
      break;
  }
  RebuildDeviceList();
  if (Shell().startupComplete) {
    RefreshPushButtons(Shell().mainWindow);
    DisplaySlotSettings(Shell().mainWindow, Shell().selectedIndex.load());
  }
  HighlightFirstLine();
}

void HandleDeviceRemoval(directoutput::DeviceHandle device) {
  if (!g_devices.slots) return;
  WatcherHold hold;
  StopWorkersForRemoval();

  SlotTable& slots = *g_devices.slots;
  const int slotIndex = FindSlotByDevice(slots, device);
  if (slotIndex < 0 || slotIndex >= g_devices.count) return;
  for (int i = slotIndex; i + 1 < kMaxDevices; ++i) MoveSlot(slots.slots[i], slots.slots[i + 1]);
  ResetSlotToDefaults(slots.slots[kMaxDevices - 1]);
  slots.slots[kMaxDevices - 1].device = nullptr;
  slots.slots[kMaxDevices - 1].ownedThread = nullptr;

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

  RebuildDeviceList();
  if (Shell().startupComplete) RefreshControls(Shell().mainWindow);
  if (g_devices.count != 0) HighlightFirstLine();
}

void RebuildDeviceList() {
  (void)IdentifyDevices(g_devices);
  OrderEntriesByRegistry(g_devices);
  RefillDeviceListBox();
}

void RefillDeviceListBox() {
  HWND list = ListBox();
  while (SendMessageW(list, LB_DELETESTRING, 0, 0) > 0) {
  }
  for (int i = 0; i < g_devices.count; ++i) {
    const DeviceListEntry& entry = g_devices.list->entries[i];
    wchar_t line[100] = L"Generic FIP Device";
    if (Shell().hardwareDetails == 1 && entry.serialFound == 1 && entry.serialNumber[0] != L'\0') {
      _snwprintf(line, std::size(line) - 1, L"FIP Device (S/N: %ls)", entry.serialNumber);
      line[std::size(line) - 1] = L'\0';
    }
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
  }
}

}  // namespace panelcast
