#include "app/device_list_box.h"

#include <cwchar>
#include <iterator>

#include "app/shell_state.h"
#include "devices/device_list.h"
#include "devices/identification.h"
#include "resources/resource_ids.h"

namespace panelcast {

void ClearListBox(HWND list) {
  while (SendMessageW(list, LB_DELETESTRING, 0, 0) > 0) {
  }
}

void RefillDeviceListBox() {
  HWND list = GetDlgItem(Shell().mainWindow, IDC_DEVICE_LIST);
  ClearListBox(list);
  const DeviceTables& devices = Devices();
  for (int i = 0; i < devices.count; ++i) {
    const DeviceListEntry& entry = devices.list->entries[i];
    wchar_t line[100] = L"Generic FIP Device";
    if (Shell().hardwareDetails == 1 && entry.serialFound == 1 && entry.serialNumber[0] != L'\0') {
      _snwprintf(line, std::size(line) - 1, L"FIP Device (S/N: %ls)", entry.serialNumber);
      line[std::size(line) - 1] = L'\0';
    }
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
  }
}

void RebuildDeviceList() {
  (void)IdentifyDevices(Devices());
  OrderEntriesByRegistry(Devices());
  RefillDeviceListBox();
}

}  // namespace panelcast
