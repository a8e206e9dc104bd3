// The emulator's start-up settings, read from the environment when the library is loaded. Parsing
// is kept free of Windows so it is tested natively; emulator/README.md lists the variables.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace emu {

struct PanelSpec {
  std::string serial;
  std::string type;  // "fip" or "other"
};

struct FaultSpec {
  std::string call;  // entry point without "DirectOutput_"
  int32_t result = 0;
  bool always = false;
};

struct EmulatorConfig {
  std::string pipeName;                 // empty: no control channel
  std::string logPath;                  // empty: no log file
  std::vector<PanelSpec> panels;
  std::vector<FaultSpec> faults;
  std::vector<std::string> typeFails;   // serials whose GetDeviceType fails
  bool inactiveRefuses = false;
  uint32_t setImageDelayMs = 0;
};

// Raw values of the variables; an unset variable is an empty string.
struct EnvironmentValues {
  std::string pipe, log, panels, count, faults, typeFails, inactiveRefuses, setImageDelay;
};

// Bad items are skipped and named in `problems`, so one typo does not silently empty a list.
EmulatorConfig ParseConfig(const EnvironmentValues& env, std::vector<std::string>& problems);

std::vector<std::string> SplitList(std::string_view text, char separator);
bool IsPanelType(std::string_view type);
bool IsEntryPointName(std::string_view call);
// "0x80004005", "2147500037" or "-2147467259".
std::optional<int32_t> ParseResultCode(std::string_view text);
std::optional<uint32_t> ParseUnsigned(std::string_view text);  // decimal or 0x hex
std::string CountedSerial(int number);                           // EMU0001, EMU0002, ...

}  // namespace emu
