#include "devices/device_report.h"

#include <windows.h>
#include <cfgmgr32.h>

#include <new>

#include "devices/device_list.h"
#include "devices/identification.h"
#include "devices/report_text.h"
#include "devices/serial_number.h"
#include "devices/usb_interfaces.h"

namespace panelcast {
namespace {

struct PropertyLine {
  const wchar_t* label;
  DWORD property;
};

// The property lines after "Hardware ID" and the parent line, in the order the report shows them.
constexpr PropertyLine kPropertyLines[] = {
    {L"\r\nFriendlyName: ", SPDRP_FRIENDLYNAME},
    {L"\r\nDriver: ", SPDRP_DRIVER},
    {L"\r\nClass GUID: ", SPDRP_CLASSGUID},
    {L"\r\nDescription: ", SPDRP_DEVICEDESC},
    {L"\r\nManufacturer: ", SPDRP_MFG},
    {L"\r\nPhysical object name: ", SPDRP_PHYSICAL_DEVICE_OBJECT_NAME},
    {L"\r\nLocation information: ", SPDRP_LOCATION_INFORMATION},
    {L"\r\nEnumerator: ", SPDRP_ENUMERATOR_NAME},
    {L"\r\nDevice setup class: ", SPDRP_CLASS},
    {L"\r\nService name: ", SPDRP_SERVICE},
};

constexpr std::size_t kParentIdChars = 200;
constexpr std::size_t kReportSerialChars = 19;

// The device instance ID of the device's parent; false when either call fails.
bool ReadParentId(const PanelInterface& panel, std::wstring& text) {
  DEVINST parent = 0;
  if (CM_Get_Parent(&parent, panel.device->DevInst, 0) != CR_SUCCESS) return false;
  wchar_t id[kParentIdChars + 1] = {};
  if (CM_Get_Device_IDW(parent, id, kParentIdChars, 0) != CR_SUCCESS) return false;
  id[kParentIdChars] = L'\0';
  text = id;
  return true;
}

void AppendLine(std::wstring& text, const wchar_t* label, const std::wstring& value) {
  text += label;
  text += value;
}

// One panel's report; `service` receives the service name when the device has one.
std::wstring DescribePanel(const PanelInterface& panel, std::wstring& service) {
  std::wstring text = L"Full path: ";
  text += panel.path;
  std::wstring value;
  if (ReadDeviceProperty(panel, SPDRP_HARDWAREID, value)) {
    AppendLine(text, L"\r\nHardware ID: ", value);
  }
  if (ReadParentId(panel, value)) AppendLine(text, L"\r\nParent hardware ID: ", value);
  service.clear();
  for (const PropertyLine& line : kPropertyLines) {
    if (!ReadDeviceProperty(panel, line.property, value)) continue;
    AppendLine(text, line.label, value);
    if (line.property == SPDRP_SERVICE) service = value;
  }
  wchar_t serial[kReportSerialChars + 1] = {};
  (void)CutSerialNumber(panel.path, serial, std::size(serial), kReportSerialChars);
  AppendLine(text, L"\r\nSerial number: ", serial);
  return text;
}

}  // namespace

bool BuildDeviceReport(uint32_t index, std::wstring& text) {
  text.clear();
  if (index >= Devices().count) return true;
  bool found = false;
  std::wstring service;
  try {
    // Panel interfaces up to the index'th are taken in turn; the last one taken is reported, so
    // with fewer interfaces than panels the last interface stands in.
    const bool listed = ForEachPanelInterface([&](int number, const PanelInterface& panel) {
      text = DescribePanel(panel, service);
      found = true;
      return static_cast<uint32_t>(number) < index;
    });
    if (!listed || !found) {
      text.clear();
      return false;
    }
  } catch (const std::bad_alloc&) {
    text.clear();
    return false;
  }
  if (!service.empty()) SetUsbServiceName(service.c_str());  // kept when shorter than 30
  text.resize(FittingReportLength(text, kReportCapacity));
  return true;
}

}  // namespace panelcast
