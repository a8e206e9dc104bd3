// Text form of the panel list that the control channel answers to PANELS, one line per panel
// followed by one line per page:
//   panel <handle hex> <serial> <type> <activePage> <sendsUnderWay>
//   page <number> <flags> <active 0|1> <leds, six 0|1> <imageCount> <lastImageTick> <blank 0|1>
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "emulator/control/panel_control.h"

namespace emu {

std::string FormatPanels(const std::vector<PanelInfo>& panels);
std::vector<PanelInfo> ParsePanels(std::string_view text);  // malformed lines are skipped

// Words of a command or listing line, split at blanks.
std::vector<std::string> SplitWords(std::string_view text);

}  // namespace emu
