#include "emulator/setupapi/usb_catalogue.h"

#include <cwctype>

namespace emu {
namespace {

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator) {
  std::vector<std::wstring> items;
  std::size_t at = 0;
  while (at <= text.size() && !text.empty()) {
    std::size_t end = text.find(separator, at);
    if (end == std::wstring::npos) end = text.size();
    if (end > at) items.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return items;
}

// KEY=VALUE items; the first "=" divides, so values may hold more of them.
std::map<std::wstring, std::wstring> Pairs(const std::wstring& text) {
  std::map<std::wstring, std::wstring> pairs;
  for (const std::wstring& item : Split(text, L'|')) {
    const std::size_t equals = item.find(L'=');
    if (equals != std::wstring::npos) pairs[item.substr(0, equals)] = item.substr(equals + 1);
  }
  return pairs;
}

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

std::wstring Upper(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
  return text;
}

std::optional<std::size_t> Count(const std::wstring& text) {
  if (text.empty()) return std::nullopt;
  std::size_t value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9' || value > 100000) return std::nullopt;
    value = value * 10 + static_cast<std::size_t>(c - L'0');
  }
  return value;
}

std::wstring FourDigits(std::size_t value) {
  std::wstring text = std::to_wstring(value);
  return std::wstring(text.size() < 4 ? 4 - text.size() : 0, L'0') + text;
}

// A device of another maker: a path of its own, the usual properties of a plain USB device.
UsbDevice OtherDevice(const std::wstring& path, std::size_t number) {
  UsbDevice device;
  device.interfacePath = path;
  device.instanceId = L"USB\\VID_1209&PID_0001\\OTHER" + std::to_wstring(number);
  device.parentId = L"USB\\ROOT_HUB30\\4&1C2D3E4F&0&0";
  device.properties = {{L"hardwareid", std::wstring(L"USB\\VID_1209&PID_0001&REV_0001\0\0", 32)},
                       {L"description", L"USB Input Device"},
                       {L"enumerator", L"USB"},
                       {L"service", L"usbccgp"}};
  return device;
}

UsbDevice PanelDevice(const UsbPanel& panel, std::size_t number, const UsbEnvironment& env) {
  const std::wstring product = panel.fip ? L"A2AE" : L"A2FF";
  const std::wstring serial = Upper(panel.serial);
  const std::wstring position = std::to_wstring(number + 1);
  UsbDevice device;
  device.interfacePath = L"\\\\?\\usb#vid_06a3&pid_" + Lower(product) + L"#" + Lower(panel.serial) +
                         L"#" + kUsbInterfaceClassText;
  device.instanceId = L"USB\\VID_06A3&PID_" + product + L"\\" + serial;
  device.parentId = L"USB\\ROOT_HUB30\\4&2A7C1F3&0&" + position;
  const std::wstring hardwareId = L"USB\\VID_06A3&PID_" + product + L"&REV_0100";
  const std::wstring compatibleId = L"USB\\VID_06A3&PID_" + product;
  std::wstring multi = hardwareId;
  multi += L'\0';
  multi += compatibleId;
  multi += L'\0';
  device.properties = {
      {L"hardwareid", multi},
      {L"friendlyname", L"Zivovi Flight Instrument Panel"},
      {L"driver", L"{36fc9e60-c465-11cf-8056-444553540000}\\" + FourDigits(number + 1)},
      {L"classguid", L"{36fc9e60-c465-11cf-8056-444553540000}"},
      {L"description", L"USB Composite Device"},
      {L"manufacturer", L"Zivovi"},
      {L"pdo", L"\\Device\\USBPDO-" + std::to_wstring(number + 7)},
      {L"location", L"Port_#000" + position + L".Hub_#0002"},
      {L"enumerator", L"USB"},
      {L"class", L"USB"},
      {L"service", env.service.empty() ? std::wstring(L"usbccgp") : env.service},
  };
  for (const auto& [key, value] : Pairs(env.properties)) {
    if (device.properties.count(key)) device.properties[key] = value;
  }
  for (const std::wstring& key : Split(env.missing, L',')) {
    if (key == L"parent") {
      device.parentId.reset();
    } else {
      device.properties.erase(key);
    }
  }
  const auto paths = Pairs(env.paths);
  if (const auto path = paths.find(panel.serial); path != paths.end()) {
    device.interfacePath = path->second;
  }
  return device;
}

}  // namespace

UsbCatalogue BuildUsbCatalogue(const std::vector<UsbPanel>& panels, const UsbEnvironment& env) {
  UsbCatalogue catalogue;
  if (env.fail == L"1") {
    catalogue.available = false;
    return catalogue;
  }
  std::size_t number = 0;
  for (const std::wstring& path : Split(env.extra, L'|')) {
    catalogue.devices.push_back(OtherDevice(path, number++));
  }
  const std::size_t limit = Count(env.only).value_or(panels.size());
  for (std::size_t i = 0; i < panels.size() && i < limit; ++i) {
    catalogue.devices.push_back(PanelDevice(panels[i], i, env));
  }
  return catalogue;
}

std::vector<UsbPanel> ParseUsbPanels(const std::wstring& text) {
  std::vector<UsbPanel> panels;
  for (const std::wstring& item : Split(text, L',')) {
    const std::size_t colon = item.find(L':');
    UsbPanel panel{item.substr(0, colon), true};
    if (colon != std::wstring::npos) panel.fip = item.substr(colon + 1) != L"other";
    if (!panel.serial.empty()) panels.push_back(panel);
  }
  return panels;
}

}  // namespace emu
