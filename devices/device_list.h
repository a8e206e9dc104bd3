// The program's picture of the connected panels: the device count, one slot per panel in the
// order the panels became known, the identification entries, and the device list box.
//
// Everything here runs on the main thread: enumeration happens inside DirectOutput_Enumerate
// called from start-up, and the library's arrival and removal notifications are carried over to
// the main window's thread before they touch the tables (see device_change.h).
#pragma once

#include <windows.h>

#include <cstdint>

#include "devices/direct_output_abi.h"
#include "feeds/device_slot.h"

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

// Arrival of `device` reported by the library (main thread).
void HandleDeviceArrival(directoutput::DeviceHandle device);
// Removal of `device` reported by the library (main thread).
void HandleDeviceRemoval(directoutput::DeviceHandle device);

// Identification, registry order and list box refill.
void RebuildDeviceList();
// Deletes every line of the list box and adds one per device.
void RefillDeviceListBox();

// The default settings of a slot that get written when its panel becomes known.
void ResetSlotToDefaults(DeviceSlot& slot);

}  // namespace panelcast
