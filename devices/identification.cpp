#include "devices/identification.h"

#include <cstring>
#include <cwchar>
#include <string>

#include "devices/registry_order.h"
#include "devices/serial_number.h"
#include "devices/usb_interfaces.h"

namespace panelcast {
namespace {

constexpr std::size_t kServiceNameChars = 30;
wchar_t g_usbServiceName[kServiceNameChars] = {};  // main thread

// Never more registry values than this are read, whatever "Count" claims.
constexpr DWORD kMaxRegistryValues = 4096;

template <std::size_t N>
void CopyIfShorter(wchar_t (&to)[N], const wchar_t* from) {
  if (std::wcslen(from) < N - 1) std::wcscpy(to, from);
}

}  // namespace

bool IdentifyDevices(DeviceTables& tables) {
  for (DeviceListEntry& entry : tables.list->entries) entry = DeviceListEntry{};
  // The k-th panel interface is taken for slot k; interfaces beyond the table are ignored.
  const bool listed = ForEachPanelInterface([&](int k, const PanelInterface& panel) {
    if (k >= kMaxDevices) return false;
    DeviceListEntry& entry = tables.list->entries[k];
    CopyIfShorter(entry.interfacePath, panel.path);
    entry.serialFound = CutSerialNumber(entry.interfacePath, entry.serialNumber,
                                        std::size(entry.serialNumber), 50)
                                .found
                            ? 1
                            : 0;
    std::wstring hardwareId;
    if (ReadDeviceProperty(panel, SPDRP_HARDWAREID, hardwareId)) {
      CopyIfShorter(entry.hardwareId, hardwareId.c_str());
    }
    entry.device = tables.slots->slots[k].device.load();
    return true;
  });
  if (!listed) return false;
  for (const DeviceListEntry& entry : tables.list->entries) {
    if (entry.serialFound == 1) return true;
  }
  return false;
}

void OrderEntriesByRegistry(DeviceTables& tables) {
  if (g_usbServiceName[0] == L'\0') std::wcscpy(g_usbServiceName, L"usbccgp");
  wchar_t keyName[100];
  if (_snwprintf(keyName, std::size(keyName), L"SYSTEM\\CurrentControlSet\\services\\%ls\\Enum",
                 g_usbServiceName) < 0) {
    return;
  }
  keyName[std::size(keyName) - 1] = L'\0';
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) return;

  DWORD count = 0;
  DWORD countBytes = sizeof(count);
  if (RegQueryValueExW(key, L"Count", nullptr, nullptr, reinterpret_cast<BYTE*>(&count),
                       &countBytes) != ERROR_SUCCESS ||
      count <= 1) {
    RegCloseKey(key);
    return;
  }
  if (count > kMaxRegistryValues) count = kMaxRegistryValues;
  std::size_t position = 0;
  for (DWORD n = 0; n < count; ++n) {
    wchar_t name[12];
    _snwprintf(name, std::size(name), L"%lu", static_cast<unsigned long>(n));
    name[std::size(name) - 1] = L'\0';
    // 100 bytes are offered; one more unit stays zero so any value ends inside the buffer.
    wchar_t text[100 / sizeof(wchar_t) + 1] = {};
    DWORD bytes = 100;
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &bytes) !=
        ERROR_SUCCESS) {
      continue;
    }
    // Only the connected panels' entries take part: an unused entry has an empty serial number,
    // which every text would match, and would push a connected panel's line out of the list.
    position = PlaceEntryForText(tables.list->entries, tables.count, position, text);
  }
  RegCloseKey(key);
}

void ClearUsbServiceName() { g_usbServiceName[0] = L'\0'; }

void SetUsbServiceName(const wchar_t* name) {
  if (std::wcslen(name) < kServiceNameChars) std::wcscpy(g_usbServiceName, name);
}

}  // namespace panelcast
