#include "emulator/directoutput/emulator_config.h"

#include <charconv>
#include <cstdio>

namespace emu {

namespace {

constexpr const char* kEntryPoints[] = {
    "Initialize",       "Deinitialize",   "RegisterDeviceCallback", "Enumerate",
    "RegisterPageCallback", "RegisterSoftButtonCallback", "GetDeviceType", "GetDeviceInstance",
    "SetProfile",       "AddPage",        "RemovePage",  "SetLed",     "SetString",
    "SetImage",         "SetImageFromFile", "StartServer", "CloseServer", "SendServerMsg",
    "SendServerFile",   "SaveFile",       "DisplayFile", "DeleteFile"};

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::optional<FaultSpec> ParseFault(std::string_view item) {
  std::size_t equals = item.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  FaultSpec fault;
  fault.call = Trim(item.substr(0, equals));
  std::string_view rest = item.substr(equals + 1);
  std::size_t colon = rest.find(':');
  if (colon != std::string_view::npos) {
    std::string_view mode = Trim(rest.substr(colon + 1));
    if (mode == "always") {
      fault.always = true;
    } else if (mode != "once") {
      return std::nullopt;
    }
    rest = rest.substr(0, colon);
  }
  std::optional<int32_t> result = ParseResultCode(Trim(rest));
  if (!result || !IsEntryPointName(fault.call)) return std::nullopt;
  fault.result = *result;
  return fault;
}

}  // namespace

std::vector<std::string> SplitList(std::string_view text, char separator) {
  std::vector<std::string> items;
  while (!text.empty()) {
    std::size_t cut = text.find(separator);
    std::string_view item = Trim(text.substr(0, cut));
    if (!item.empty()) items.emplace_back(item);
    if (cut == std::string_view::npos) break;
    text.remove_prefix(cut + 1);
  }
  return items;
}

bool IsPanelType(std::string_view type) { return type == "fip" || type == "other"; }

bool IsEntryPointName(std::string_view call) {
  for (const char* name : kEntryPoints) {
    if (call == name) return true;
  }
  return false;
}

std::optional<uint32_t> ParseUnsigned(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  uint32_t value = 0;
  if (text.empty()) return std::nullopt;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<int32_t> ParseResultCode(std::string_view text) {
  if (!text.empty() && text.front() == '-') {
    int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
  }
  std::optional<uint32_t> value = ParseUnsigned(text);
  if (!value) return std::nullopt;
  return static_cast<int32_t>(*value);
}

std::string CountedSerial(int number) {
  char serial[16];
  std::snprintf(serial, sizeof serial, "EMU%04d", number);
  return serial;
}

EmulatorConfig ParseConfig(const EnvironmentValues& env, std::vector<std::string>& problems) {
  EmulatorConfig config;
  config.pipeName = env.pipe;
  config.logPath = env.log;
  if (!env.panels.empty()) {
    for (const std::string& item : SplitList(env.panels, ',')) {
      PanelSpec panel{item, "fip"};
      std::size_t colon = item.find(':');
      if (colon != std::string::npos) {
        panel.serial = std::string(Trim(std::string_view(item).substr(0, colon)));
        panel.type = std::string(Trim(std::string_view(item).substr(colon + 1)));
      }
      bool duplicate = false;
      for (const PanelSpec& known : config.panels) duplicate |= known.serial == panel.serial;
      if (panel.serial.empty() || !IsPanelType(panel.type) || duplicate ||
          panel.serial.find(' ') != std::string::npos) {
        problems.push_back("panel '" + item + "'");
        continue;
      }
      config.panels.push_back(panel);
    }
  } else if (!env.count.empty()) {
    std::optional<uint32_t> count = ParseUnsigned(env.count);
    if (!count || *count > 9999) {
      problems.push_back("count '" + env.count + "'");
    } else {
      for (uint32_t n = 1; n <= *count; ++n) {
        config.panels.push_back({CountedSerial(static_cast<int>(n)), "fip"});
      }
    }
  }
  for (const std::string& item : SplitList(env.faults, ';')) {
    if (std::optional<FaultSpec> fault = ParseFault(item)) {
      config.faults.push_back(*fault);
    } else {
      problems.push_back("fault '" + item + "'");
    }
  }
  config.typeFails = SplitList(env.typeFails, ',');
  config.inactiveRefuses = Trim(env.inactiveRefuses) == "1";
  if (!env.setImageDelay.empty()) {
    if (std::optional<uint32_t> delay = ParseUnsigned(env.setImageDelay)) {
      config.setImageDelayMs = *delay;
    } else {
      problems.push_back("delay '" + env.setImageDelay + "'");
    }
  }
  return config;
}

}  // namespace emu
