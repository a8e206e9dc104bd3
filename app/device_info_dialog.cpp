#include "app/device_info_dialog.h"

#include <string>

#include "app/secondary_dialog.h"
#include "app/shell_state.h"
#include "base/messages.h"
#include "devices/device_list.h"
#include "devices/device_report.h"
#include "resources/resource_ids.h"

namespace panelcast {
namespace {

// The report is made afresh every time the dialog opens; with no panel at all it stays empty.
INT_PTR OnInitDialog(HWND dialog) {
  if (Devices().count == 0) return TRUE;
  std::wstring report;
  const bool made = BuildDeviceReport(Shell().selectedIndex.load(), report);
  SetDlgItemTextW(dialog, IDC_REPORT, made ? report.c_str() : msg::kReportFailed);
  return TRUE;
}

INT_PTR CALLBACK DeviceInfoProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  if (message == WM_INITDIALOG) return OnInitDialog(dialog);
  return HandleOkDialogClosing(dialog, message, wParam);
}

}  // namespace

void ShowDeviceInformation(HWND owner) {
  (void)RunSecondaryDialog(owner, IDD_DEVICE_INFO, DeviceInfoProc);
}

}  // namespace panelcast
