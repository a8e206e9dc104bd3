// The benchmarks' rig for running the feeds inside one process, as the program runs them: the
// stand-in panel library loaded from bin/ and its panels enumerated into a slot table of our own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devices/device_slot.h"
#include "emulator/control/panel_control.h"

namespace benchrig {

// Loads the library with `panelCount` panels (EMU0001, EMU0002, ...; slot i holds panel i + 1),
// initialises it, enumerates the panels into a fresh slot table, publishes it and waits for the
// control channel. Once per process; false (with a reason in `problem`) when any step fails.
bool LoadInProcessPanels(int panelCount, std::string& problem);
emu::PanelControl& Panels();
panelcast::SlotTable& Table();
std::string SerialOfSlot(int slotIndex);

}  // namespace benchrig
