// Tying the listed panels to their USB identity: the interface paths SetupAPI reports, the serial
// numbers cut from them, and the order of the USB composite-device service in the registry.
// Main thread.
#pragma once

#include "devices/device_list.h"

namespace panelcast {

// Rebuilds the entry table from the present USB device interfaces: the k-th panel interface is
// paired with slot k. True when at least one serial number was found.
bool IdentifyDevices(DeviceTables& tables);

// Reorders the entries as the service's "Enum" key lists its devices.
void OrderEntriesByRegistry(DeviceTables& tables);

// The USB service whose "Enum" key the walk reads; empty means "usbccgp". Cleared at start-up;
// the device report stores the service it read.
void ClearUsbServiceName();
void SetUsbServiceName(const wchar_t* name);

}  // namespace panelcast
