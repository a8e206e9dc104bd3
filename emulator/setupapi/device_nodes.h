// The stand-in's device sets and device nodes. A set is a snapshot of the catalogue taken when it
// is asked for; device nodes (DEVINST numbers) stay the same for the same instance ID for the
// whole process, so the configuration-manager calls, which get no set, can still name a device's
// parent. Everything here is guarded by one lock: any thread of the program may call in.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "emulator/setupapi/usb_catalogue.h"

namespace emu {

using SetHandle = void*;  // what HDEVINFO is

struct SetMember {
  UsbDevice device;
  DWORD node = 0;
};

struct DeviceSetData {
  bool interfaces = false;  // a set of USB device interfaces (else an empty set of another kind)
  std::vector<SetMember> members;
};

// A new set holding `devices`; its handle is the value SetupDiGetClassDevsW answers.
SetHandle CreateDeviceSet(bool interfaces, const std::vector<UsbDevice>& devices);
bool DestroyDeviceSet(SetHandle set);
// A copy of a live set's contents; nothing for a handle that is not one.
std::optional<DeviceSetData> FindDeviceSet(SetHandle set);

// The configuration manager's view: a node's instance ID, and its parent's node (nothing when the
// node is unknown or its parent cannot be read).
std::optional<std::wstring> NodeInstanceId(DWORD node);
std::optional<DWORD> NodeParent(DWORD node);

}  // namespace emu
