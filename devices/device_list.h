// The program's picture of the connected panels: the device count, one slot per panel in the
// order the panels became known, and the identification entries. The list box that shows them
// belongs to the window (app/device_list_box.h).
//
// Everything here runs on the main thread: enumeration happens inside DirectOutput_Enumerate
// called from start-up, and the library's arrival and removal notifications are carried over to
// the main window's thread before they touch the tables (see device_change.h).
#pragma once

#include <windows.h>

#include <cstdint>

#include "devices/device_slot.h"
#include "panel_library/direct_output_abi.h"

namespace panelcast {

struct DeviceListEntry {
  uint32_t serialFound = 0;
  wchar_t interfacePath[101] = {};
  wchar_t hardwareId[51] = {};
  wchar_t serialNumber[51] = {};
  directoutput::DeviceHandle device = nullptr;
};

struct DeviceListTable {
  DeviceListEntry entries[kMaxDevices];
};

// Tables allocated at start-up (null before and after); the count of connected panels.
struct DeviceTables {
  DeviceListTable* list = nullptr;
  SlotTable* slots = nullptr;
  uint16_t count = 0;
};

DeviceTables& Devices();  // main thread

// Allocates and zero-fills both tables and publishes the slot table; false when memory is short
// (a table already allocated stays for FreeDeviceTables).
bool AllocateDeviceTables();
void FreeDeviceTables();

// Enumerate callback given to DirectOutput_Enumerate; runs on the main thread inside that call.
void __stdcall OnEnumerateDevice(directoutput::DeviceHandle device, void* context);

// What taking a device into the tables came to; the window decides what the user sees.
enum class DeviceAddition {
  kAdded,       // a panel, now in the next free slot
  kFull,        // a panel, but every slot is taken: the tables stay as they were
  kNotPanel,    // a device of another type
  kTypeFailed,  // the library could not tell the device's type
};

// Takes `device` into the next free slot when it is a panel and there is room (main thread).
DeviceAddition AddDevice(directoutput::DeviceHandle device);

// Whether the library still lists `device` (true when it cannot tell). Main thread, outside the
// library's enumeration.
bool StillConnected(directoutput::DeviceHandle device);

// Drops `device`'s slot (the slots above move down) and its entry, when it has a slot; false when
// it has none. Main thread, with no worker running and no thread handle left in any slot (the
// caller has stopped them: StopWorkersForRemoval).
bool RemoveDevice(directoutput::DeviceHandle device);

// The default settings of a slot that get written when its panel becomes known.
void ResetSlotToDefaults(DeviceSlot& slot);

}  // namespace panelcast
