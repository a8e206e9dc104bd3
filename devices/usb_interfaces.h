// Walking the panels' USB device interfaces the way both identification and the device report
// need it: SetupAPI's present USB device interfaces, in its order, keeping only those whose path
// carries the panel marker. Every text read here is bounded and terminated before anyone looks
// at it. Runs on the main thread.
#pragma once

#include <windows.h>
#include <setupapi.h>

#include <functional>
#include <string>

namespace panelcast {

// One panel interface during its visit; the pointers live until the visitor returns.
struct PanelInterface {
  HDEVINFO set = nullptr;
  SP_DEVINFO_DATA* device = nullptr;
  const wchar_t* path = nullptr;  // the interface path, terminated
  DWORD detailSize = 0;           // bytes of the interface detail; property reads get as many
};

// Calls `visit` with number 0, 1, 2... for each panel interface until it returns false or the
// interfaces run out. False when the device set cannot be had.
bool ForEachPanelInterface(const std::function<bool(int number, const PanelInterface&)>& visit);

// Reads a device property (SPDRP_...) into a zeroed buffer of the interface detail's size and
// gives its first string. False when the read fails.
bool ReadDeviceProperty(const PanelInterface& panel, DWORD property, std::wstring& text);

}  // namespace panelcast
