// The SetupAPI and configuration-manager calls the program makes, answered from the emulated
// panels (usb_catalogue.h), and the few calls Wine's own user32 and gdi32 may make through this
// DLL once it replaces Wine's: those see empty sets of other device classes.
#define _SETUPAPI_
#define _CFGMGR32_
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>

#include <cstring>
#include <string>

#include "emulator/setupapi/device_nodes.h"
#include "emulator/setupapi/usb_catalogue.h"

namespace {

// {A5DCBF10-6530-11D2-901F-00C04FB951ED}: USB device interfaces.
constexpr GUID kUsbInterfaceClass = {
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
// {36FC9E60-C465-11CF-8056-444553540000}: the USB device setup class.
constexpr GUID kUsbSetupClass = {
    0x36FC9E60, 0xC465, 0x11CF, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

std::wstring Variable(const wchar_t* name) {
  const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
  if (needed == 0) return {};
  std::wstring value(needed, L'\0');
  const DWORD length = GetEnvironmentVariableW(name, value.data(), needed);
  value.resize(length < needed ? length : 0);
  return value;
}

// The panels of the panel library stand-in loaded in this process; none when it is not loaded.
std::vector<emu::UsbPanel> CurrentPanels() {
  HMODULE library = GetModuleHandleW(L"DirectOutput.dll");
  if (!library) return {};
  using PanelList = uint32_t(__stdcall*)(wchar_t*, uint32_t);
  auto list = reinterpret_cast<PanelList>(
      reinterpret_cast<void*>(GetProcAddress(library, "PanelcastEmuPanelList")));
  if (!list) return {};
  std::wstring text(list(nullptr, 0), L'\0');
  for (;;) {  // a panel may come between the two calls
    const uint32_t needed = list(text.data(), static_cast<uint32_t>(text.size()));
    if (needed <= text.size()) {
      text.resize(needed - 1);
      return emu::ParseUsbPanels(text);
    }
    text.assign(needed, L'\0');
  }
}

emu::UsbCatalogue CurrentCatalogue() {
  emu::UsbEnvironment env;
  env.fail = Variable(L"PANELCAST_EMU_USB_FAIL");
  env.only = Variable(L"PANELCAST_EMU_USB_ONLY");
  env.extra = Variable(L"PANELCAST_EMU_USB_EXTRA");
  env.paths = Variable(L"PANELCAST_EMU_USB_PATHS");
  env.missing = Variable(L"PANELCAST_EMU_USB_MISSING");
  env.service = Variable(L"PANELCAST_EMU_USB_SERVICE");
  env.properties = Variable(L"PANELCAST_EMU_USB_PROPERTIES");
  return emu::BuildUsbCatalogue(CurrentPanels(), env);
}

const wchar_t* PropertyKey(DWORD property) {
  switch (property) {
    case SPDRP_DEVICEDESC: return L"description";
    case SPDRP_HARDWAREID: return L"hardwareid";
    case SPDRP_SERVICE: return L"service";
    case SPDRP_CLASS: return L"class";
    case SPDRP_CLASSGUID: return L"classguid";
    case SPDRP_DRIVER: return L"driver";
    case SPDRP_MFG: return L"manufacturer";
    case SPDRP_FRIENDLYNAME: return L"friendlyname";
    case SPDRP_LOCATION_INFORMATION: return L"location";
    case SPDRP_PHYSICAL_DEVICE_OBJECT_NAME: return L"pdo";
    case SPDRP_ENUMERATOR_NAME: return L"enumerator";
    default: return nullptr;
  }
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// The member of `set` that a device record names (by its Reserved field, 1-based).
const emu::SetMember* MemberOf(const emu::DeviceSetData& set, const SP_DEVINFO_DATA* record) {
  if (!record || record->cbSize != sizeof(SP_DEVINFO_DATA)) return nullptr;
  const ULONG_PTR index = record->Reserved;
  if (index == 0 || index > set.members.size()) return nullptr;
  return &set.members[index - 1];
}

void FillRecord(const emu::DeviceSetData& set, std::size_t index, SP_DEVINFO_DATA* record) {
  record->ClassGuid = kUsbSetupClass;
  record->DevInst = set.members[index].node;
  record->Reserved = index + 1;
}

}  // namespace

extern "C" {

HDEVINFO WINAPI SetupDiGetClassDevsW(const GUID* classGuid, PCWSTR /*enumerator*/, HWND /*parent*/,
                                     DWORD flags) {
  const bool usbInterfaces = (flags & DIGCF_DEVICEINTERFACE) && classGuid &&
                             std::memcmp(classGuid, &kUsbInterfaceClass, sizeof(GUID)) == 0;
  if (!usbInterfaces) return emu::CreateDeviceSet(false, {});
  const emu::UsbCatalogue catalogue = CurrentCatalogue();
  if (!catalogue.available) {
    SetLastError(ERROR_INVALID_DATA);
    return INVALID_HANDLE_VALUE;
  }
  return emu::CreateDeviceSet(true, catalogue.devices);
}

HDEVINFO WINAPI SetupDiCreateDeviceInfoList(const GUID* /*classGuid*/, HWND /*parent*/) {
  return emu::CreateDeviceSet(false, {});
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO set) {
  return emu::DestroyDeviceSet(set) ? TRUE : Fail(ERROR_INVALID_HANDLE);
}

BOOL WINAPI SetupDiEnumDeviceInfo(HDEVINFO handle, DWORD index, PSP_DEVINFO_DATA record) {
  const auto set = emu::FindDeviceSet(handle);
  if (!set) return Fail(ERROR_INVALID_HANDLE);
  if (!record || record->cbSize != sizeof(SP_DEVINFO_DATA)) return Fail(ERROR_INVALID_USER_BUFFER);
  if (index >= set->members.size()) return Fail(ERROR_NO_MORE_ITEMS);
  FillRecord(*set, index, record);
  return TRUE;
}

BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO handle, PSP_DEVINFO_DATA /*device*/,
                                        const GUID* interfaceClass, DWORD index,
                                        PSP_DEVICE_INTERFACE_DATA data) {
  const auto set = emu::FindDeviceSet(handle);
  if (!set) return Fail(ERROR_INVALID_HANDLE);
  if (!data || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) {
    return Fail(ERROR_INVALID_USER_BUFFER);
  }
  const bool usb = interfaceClass &&
                   std::memcmp(interfaceClass, &kUsbInterfaceClass, sizeof(GUID)) == 0;
  if (!set->interfaces || !usb || index >= set->members.size()) return Fail(ERROR_NO_MORE_ITEMS);
  data->InterfaceClassGuid = kUsbInterfaceClass;
  data->Flags = SPINT_ACTIVE;
  data->Reserved = index + 1;
  return TRUE;
}

BOOL WINAPI SetupDiGetDeviceInterfaceDetailW(HDEVINFO handle, PSP_DEVICE_INTERFACE_DATA data,
                                             PSP_DEVICE_INTERFACE_DETAIL_DATA_W detail,
                                             DWORD detailSize, PDWORD requiredSize,
                                             PSP_DEVINFO_DATA record) {
  const auto set = emu::FindDeviceSet(handle);
  if (!set) return Fail(ERROR_INVALID_HANDLE);
  if (!data || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA) || data->Reserved == 0 ||
      data->Reserved > set->members.size()) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  const std::size_t index = data->Reserved - 1;
  const std::wstring& path = set->members[index].device.interfacePath;
  const DWORD needed = static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) +
                                          (path.size() + 1) * sizeof(wchar_t));
  if (requiredSize) *requiredSize = needed;
  if (!detail) return Fail(detailSize == 0 ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_USER_BUFFER);
  if (detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
    return Fail(ERROR_INVALID_USER_BUFFER);
  }
  if (detailSize < needed) return Fail(ERROR_INSUFFICIENT_BUFFER);
  if (record && record->cbSize != sizeof(SP_DEVINFO_DATA)) return Fail(ERROR_INVALID_USER_BUFFER);
  std::memcpy(detail->DevicePath, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
  if (record) FillRecord(*set, index, record);
  return TRUE;
}

BOOL WINAPI SetupDiGetDeviceRegistryPropertyW(HDEVINFO handle, PSP_DEVINFO_DATA record,
                                              DWORD property, PDWORD type, PBYTE buffer,
                                              DWORD bufferSize, PDWORD requiredSize) {
  const auto set = emu::FindDeviceSet(handle);
  if (!set) return Fail(ERROR_INVALID_HANDLE);
  const emu::SetMember* member = MemberOf(*set, record);
  if (!member) return Fail(ERROR_INVALID_PARAMETER);
  const wchar_t* key = PropertyKey(property);
  const auto found = key ? member->device.properties.find(key) : member->device.properties.end();
  if (found == member->device.properties.end()) return Fail(ERROR_INVALID_DATA);
  const std::wstring& value = found->second;
  const DWORD needed = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  if (type) *type = property == SPDRP_HARDWAREID ? REG_MULTI_SZ : REG_SZ;
  if (requiredSize) *requiredSize = needed;
  if (!buffer || bufferSize < needed) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(buffer, value.c_str(), needed);
  return TRUE;
}

BOOL WINAPI SetupDiOpenDeviceInfoW(HDEVINFO /*set*/, PCWSTR /*instanceId*/, HWND /*parent*/,
                                   DWORD /*flags*/, PSP_DEVINFO_DATA /*record*/) {
  return Fail(ERROR_NO_SUCH_DEVINST);
}

BOOL WINAPI SetupDiGetDevicePropertyW(HDEVINFO /*set*/, PSP_DEVINFO_DATA /*record*/,
                                      const DEVPROPKEY* /*key*/, DEVPROPTYPE* /*type*/,
                                      PBYTE /*buffer*/, DWORD /*bufferSize*/,
                                      PDWORD /*requiredSize*/, DWORD /*flags*/) {
  return Fail(ERROR_NOT_FOUND);
}

CONFIGRET WINAPI CM_Get_Parent(PDEVINST parent, DEVINST node, ULONG /*flags*/) {
  if (!parent) return CR_INVALID_POINTER;
  const auto found = emu::NodeParent(node);
  if (!found) return CR_NO_SUCH_DEVNODE;
  *parent = *found;
  return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_Device_IDW(DEVINST node, PWSTR buffer, ULONG length, ULONG /*flags*/) {
  if (!buffer) return CR_INVALID_POINTER;
  const auto id = emu::NodeInstanceId(node);
  if (!id) return CR_NO_SUCH_DEVNODE;
  if (length < id->size() + 1) return CR_BUFFER_SMALL;
  std::memcpy(buffer, id->c_str(), (id->size() + 1) * sizeof(wchar_t));
  return CR_SUCCESS;
}

}  // extern "C"
