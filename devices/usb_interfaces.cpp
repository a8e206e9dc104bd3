#include "devices/usb_interfaces.h"

#include <cwchar>

#include "devices/serial_number.h"

namespace panelcast {
namespace {

// {A5DCBF10-6530-11D2-901F-00C04FB951ED}: USB device interfaces.
constexpr GUID kUsbDeviceInterface = {
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

// A detail size beyond this is no interface path but a confused library; the interface is
// skipped rather than trusted with an allocation (and an addition that could wrap).
constexpr DWORD kMaxDetailBytes = 64 * 1024;

// A zeroed heap block with room for two more terminators than asked, so that whatever a library
// writes into the asked size stays terminated, at any byte alignment.
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

// Owns a device set from SetupDiGetClassDevsW.
class DeviceSet {
 public:
  DeviceSet()
      : set_(SetupDiGetClassDevsW(&kUsbDeviceInterface, nullptr, nullptr,
                                  DIGCF_PRESENT | DIGCF_DEVICEINTERFACE)) {}
  ~DeviceSet() {
    if (valid()) SetupDiDestroyDeviceInfoList(set_);
  }
  DeviceSet(const DeviceSet&) = delete;
  DeviceSet& operator=(const DeviceSet&) = delete;
  bool valid() const { return set_ != INVALID_HANDLE_VALUE && set_ != nullptr; }
  HDEVINFO get() const { return set_; }

 private:
  HDEVINFO set_;
};

}  // namespace

bool ForEachPanelInterface(const std::function<bool(int number, const PanelInterface&)>& visit) {
  DeviceSet set;
  if (!set.valid()) return false;
  int number = 0;
  SP_DEVICE_INTERFACE_DATA interfaceData{};
  interfaceData.cbSize = sizeof(interfaceData);
  for (DWORD member = 0;
       SetupDiEnumDeviceInterfaces(set.get(), nullptr, &kUsbDeviceInterface, member, &interfaceData);
       ++member) {
    DWORD detailSize = 0;
    SetupDiGetDeviceInterfaceDetailW(set.get(), &interfaceData, nullptr, 0, &detailSize, nullptr);
    if (detailSize < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) || detailSize > kMaxDetailBytes) {
      continue;
    }
    ZeroedBlock block(detailSize);
    auto* detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(block.get());
    if (!detail) continue;
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    if (!SetupDiGetDeviceInterfaceDetailW(set.get(), &interfaceData, detail, detailSize, nullptr,
                                          &device) ||
        !std::wcsstr(detail->DevicePath, kPanelPathMarker)) {
      continue;
    }
    const PanelInterface panel{set.get(), &device, detail->DevicePath, detailSize};
    if (!visit(number++, panel)) break;
  }
  return true;
}

bool ReadDeviceProperty(const PanelInterface& panel, DWORD property, std::wstring& text) {
  ZeroedBlock block(panel.detailSize);
  if (!block.get() ||
      !SetupDiGetDeviceRegistryPropertyW(panel.set, panel.device, property, nullptr,
                                         static_cast<BYTE*>(block.get()), panel.detailSize,
                                         nullptr)) {
    return false;
  }
  text = static_cast<const wchar_t*>(block.get());
  return true;
}

}  // namespace panelcast
