#include "devices/identification.h"

#include <setupapi.h>

#include <cstring>
#include <cwchar>

#include "devices/registry_order.h"
#include "devices/serial_number.h"

namespace panelcast {
namespace {

// {A5DCBF10-6530-11D2-901F-00C04FB951ED}: USB device interfaces.
constexpr GUID kUsbDeviceInterface = {
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

constexpr std::size_t kServiceNameChars = 30;
wchar_t g_usbServiceName[kServiceNameChars] = {};  // main thread

// Never more registry values than this are read, whatever "Count" claims.
constexpr DWORD kMaxRegistryValues = 4096;

// A zeroed heap block with room for one more terminator than asked, so that whatever a library
// writes into the asked size stays terminated.
class ZeroedBlock {
 public:
  explicit ZeroedBlock(DWORD bytes)
      : data_(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes + 2 * sizeof(wchar_t))) {}
  ~ZeroedBlock() {
    if (data_) HeapFree(GetProcessHeap(), 0, data_);
  }
  ZeroedBlock(const ZeroedBlock&) = delete;
  ZeroedBlock& operator=(const ZeroedBlock&) = delete;
  void* get() const { return data_; }

 private:
  void* data_;
};

template <std::size_t N>
void CopyIfShorter(wchar_t (&to)[N], const wchar_t* from) {
  if (std::wcslen(from) < N - 1) std::wcscpy(to, from);
}

}  // namespace

bool IdentifyDevices(DeviceTables& tables) {
  for (DeviceListEntry& entry : tables.list->entries) entry = DeviceListEntry{};
  HDEVINFO set = SetupDiGetClassDevsW(&kUsbDeviceInterface, nullptr, nullptr,
                                      DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return false;

  int k = 0;
  SP_DEVICE_INTERFACE_DATA interfaceData{};
  interfaceData.cbSize = sizeof(interfaceData);
  for (DWORD member = 0;
       SetupDiEnumDeviceInterfaces(set, nullptr, &kUsbDeviceInterface, member, &interfaceData);
       ++member) {
    DWORD detailSize = 0;
    SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, nullptr, 0, &detailSize, nullptr);
    if (detailSize < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
    ZeroedBlock detailBlock(detailSize);
    auto* detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(detailBlock.get());
    if (!detail) continue;
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    SP_DEVINFO_DATA deviceInfo{};
    deviceInfo.cbSize = sizeof(deviceInfo);
    if (!SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, detail, detailSize, nullptr,
                                          &deviceInfo) ||
        !std::wcsstr(detail->DevicePath, kPanelPathMarker) || k >= kMaxDevices) {
      continue;
    }
    DeviceListEntry& entry = tables.list->entries[k];
    entry.serialFound = 0;
    CopyIfShorter(entry.interfacePath, detail->DevicePath);
    entry.serialFound = CutSerialNumber(entry.interfacePath, entry.serialNumber,
                                        std::size(entry.serialNumber), 50)
                            .found
                            ? 1
                            : 0;
    ZeroedBlock hardwareId(detailSize);
    if (hardwareId.get() &&
        SetupDiGetDeviceRegistryPropertyW(set, &deviceInfo, SPDRP_HARDWAREID, nullptr,
                                          static_cast<BYTE*>(hardwareId.get()), detailSize,
                                          nullptr)) {
      CopyIfShorter(entry.hardwareId, static_cast<const wchar_t*>(hardwareId.get()));
    }
    entry.device = tables.slots->slots[k].device.load();
    ++k;
  }
  SetupDiDestroyDeviceInfoList(set);
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
