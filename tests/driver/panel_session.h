// One call for the common start of an end-to-end test: the program with N emulated panels, and
// a control channel to the emulator inside it that already answers.
#pragma once

#include <memory>
#include <string>

#include "emulator/control/panel_control.h"
#include "tests/driver/program.h"

namespace driver {

struct PanelSession {
  std::unique_ptr<Program> program;
  std::unique_ptr<emu::PanelControl> panels;
  HWND mainWindow = nullptr;  // "Zivovi Panelcast", visible
};

// Starts bin/Panelcast.exe with `count` panels (serials EMU0001, EMU0002, ...; the options may
// name them with PANELCAST_EMU_PANELS instead), waits for the emulator's control channel and
// the main window. Returns nothing when either does not come within `timeoutMs`; the program
// is then already ended.
std::unique_ptr<PanelSession> LaunchWithPanels(int count, LaunchOptions options = {},
                                               DWORD timeoutMs = 15000);

}  // namespace driver
