// The USB devices the setupapi stand-in reports: one per emulated panel, in the order the panel
// library stand-in knows them, plus whatever a test asks for through the environment. Pure logic,
// no Windows, so it is tested natively.
//
// Environment (all optional, read on every device-set request):
//   PANELCAST_EMU_USB_FAIL        1: no device set can be had
//   PANELCAST_EMU_USB_ONLY        N: only the first N panels have an interface
//   PANELCAST_EMU_USB_EXTRA       PATH|PATH...: other devices' interfaces, reported before the panels
//   PANELCAST_EMU_USB_PATHS       SERIAL=PATH|...: a panel's interface path instead of the usual
//                                 \\?\usb#vid_06a3&pid_a2ae#<serial lower case>#{a5dcbf10-...}
//   PANELCAST_EMU_USB_MISSING     KEY,KEY...: properties the panels lack (keys below, or "parent")
//   PANELCAST_EMU_USB_SERVICE     the panels' service name ("usbccgp" otherwise)
//   PANELCAST_EMU_USB_PROPERTIES  KEY=VALUE|...: property values instead of the usual ones
// Property keys: hardwareid friendlyname driver classguid description manufacturer pdo location
// enumerator class service.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace emu {

// The USB device interface class, as paths carry it.
inline constexpr wchar_t kUsbInterfaceClassText[] = L"{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

struct UsbPanel {
  std::wstring serial;
  bool fip = true;  // a panel of another type is some other USB device
};

struct UsbEnvironment {
  std::wstring fail, only, extra, paths, missing, service, properties;
};

struct UsbDevice {
  std::wstring interfacePath;
  std::wstring instanceId;
  std::optional<std::wstring> parentId;           // none: the parent cannot be read
  std::map<std::wstring, std::wstring> properties;  // by key; hardwareid holds a multi-string
};

struct UsbCatalogue {
  bool available = true;  // false: the device set request fails
  std::vector<UsbDevice> devices;
};

UsbCatalogue BuildUsbCatalogue(const std::vector<UsbPanel>& panels, const UsbEnvironment& env);

// "A1:fip,B2:other" as the panel library stand-in hands its panels over.
std::vector<UsbPanel> ParseUsbPanels(const std::wstring& text);

}  // namespace emu
