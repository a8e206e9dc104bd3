// The main window's own state, one for the process. The main thread owns every field; the one
// exception is `selectedIndex`, which the main thread writes and other threads may read, so it is
// atomic.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <cstdint>

#include "app/region_rules.h"
#include "devices/device_slot.h"

namespace panelcast {

struct ShellState {
  uint16_t currentMode = kModeCustomize;  // the tool chosen with the mode radio buttons
  std::atomic<uint32_t> selectedIndex{0};  // device list selection; LB_ERR (all ones) for none
  uint32_t startupComplete = 0;            // the device list has been built during start-up
  int32_t refreshStep = 2;                 // last trackbar position, 0 to 50
  uint32_t perfWarningShown = 0;
  uint32_t pickerHintShown = 0;
  uint32_t hardwareDetails = 0;            // lines show serial numbers; double-click reports
  RegionValues region;                     // last rectangle from the picker or the edits
  wchar_t toolFolder[kPathCapacity] = {};
  wchar_t pathBuffer[kPathCapacity] = {};
  wchar_t probeNameA[30] = {};
  wchar_t probeNameB[30] = {};
  BROWSEINFOW browseInfo = {};
  HWND mainWindow = nullptr;               // the dialog, from its creation until it ends
};

ShellState& Shell();  // main thread (see above for selectedIndex)

}  // namespace panelcast
