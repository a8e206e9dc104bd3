#include "app/control_states.h"

#include <commctrl.h>

#include <cwchar>

#include "app/shell_state.h"
#include "devices/device_list.h"
#include "resources/resource_ids.h"

namespace panelcast {
namespace {

void Enable(HWND window, int id, bool enabled) { EnableWindow(GetDlgItem(window, id), enabled); }

void Check(HWND window, int id, bool checked) {
  SendDlgItemMessageW(window, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SetNumber(HWND window, int id, const wchar_t* format, long value) {
  wchar_t text[100] = {};
  _snwprintf(text, std::size(text) - 1, format, value);
  SetDlgItemTextW(window, id, text);
}

bool SlotIdle(uint32_t index) {
  const SlotTable* slots = Devices().slots;
  return !slots || index >= kMaxDevices || slots->slots[index].runningMode.load() == kModeIdle;
}

}  // namespace

void ApplyInitialControlState(HWND window) {
  DeviceTables& devices = Devices();
  for (DeviceSlot& slot : devices.slots->slots) ResetSlotToDefaults(slot);
  SendDlgItemMessageW(window, IDC_DELAY_TRACKBAR, TBM_SETRANGE, TRUE, MAKELPARAM(0, 50));
  SendDlgItemMessageW(window, IDC_DELAY_TRACKBAR, TBM_SETPOS, TRUE, Shell().refreshStep);
  Enable(window, IDC_STOP, false);
  Enable(window, IDC_START, devices.count != 0);
  Enable(window, IDC_SETUP, true);
}

void ApplyModeRules(HWND window, uint16_t mode) {
  if (!Shell().startupComplete || mode < kModeCustomize || mode > kModeLiveMonitor) return;
  static constexpr int kRadios[] = {IDC_MODE_CUSTOMIZE, IDC_MODE_GPS, IDC_MODE_LIVE_VIEW,
                                    IDC_MODE_STATIC, IDC_MODE_LIVE_MONITOR};
  for (int i = 0; i < 5; ++i) Check(window, kRadios[i], i + 1 == mode);

  const bool format = mode == kModeStaticImages;
  const bool coordinates =
      mode == kModeGpsGauge || mode == kModeFsxLiveView || mode == kModeLiveMonitor;
  const bool hints = mode != kModeCustomize;
  Enable(window, IDC_FORMAT_JPG, format);
  Enable(window, IDC_FORMAT_BMP, format);
  for (int id : {IDC_LEFT, IDC_RIGHT, IDC_TOP, IDC_BOTTOM, IDC_DELAY_TRACKBAR, IDC_DELAY_TEXT}) {
    Enable(window, id, coordinates);
  }
  Enable(window, IDC_SHOW_HINTS, hints);
  SetDlgItemTextW(window, IDC_SETUP, coordinates ? L"Set\nCoordinates" : L"Select\nFolder");
}

void RefreshPushButtons(HWND window) {
  for (int id : {IDC_START, IDC_STOP, IDC_SETUP, IDC_REFRESH, IDC_ABOUT, IDC_EXIT}) {
    SendDlgItemMessageW(window, id, WM_SETFOCUS, 0, 0);
  }
  Enable(window, IDC_START, Devices().count != 0 && SlotIdle(Shell().selectedIndex.load()));
  Enable(window, IDC_SETUP, true);
}

void DisplaySlotSettings(HWND window, uint32_t index) {
  if (!Shell().startupComplete || index >= kMaxDevices || !Devices().slots) return;
  const DeviceSlot& slot = Devices().slots->slots[index];
  const bool idle = slot.runningMode.load() == kModeIdle;
  Enable(window, IDC_START, idle);
  Enable(window, IDC_STOP, !idle);
  SetNumber(window, IDC_LEFT, L"%ld", slot.captureRect.left.load());
  SetNumber(window, IDC_RIGHT, L"%ld", slot.captureRect.right.load());
  SetNumber(window, IDC_TOP, L"%ld", slot.captureRect.top.load());
  SetNumber(window, IDC_BOTTOM, L"%ld", slot.captureRect.bottom.load());
  SendDlgItemMessageW(window, IDC_DELAY_TRACKBAR, TBM_SETPOS, TRUE, slot.refreshDelay.load());
  const bool jpg = slot.imageFormat.load() == 0;
  Check(window, IDC_FORMAT_JPG, jpg);
  Check(window, IDC_FORMAT_BMP, !jpg);
  ShowDelayText(window, slot.refreshDelay.load());
  Check(window, IDC_SHOW_HINTS, slot.showHints.load() == 1);
}

void ShowDelayText(HWND window, int32_t step) {
  wchar_t text[100] = {};
  _snwprintf(text, std::size(text) - 1, L"%u", static_cast<unsigned>(step) * 100u);
  SetDlgItemTextW(window, IDC_DELAY_TEXT, text);
}

void RefreshControls(HWND window) {
  ApplyModeRules(window, Shell().currentMode);
  if (Shell().startupComplete) RefreshPushButtons(window);
  DisplaySlotSettings(window, Shell().selectedIndex.load());
}

void DisableControlsWithoutDevices(HWND window) {
  if (Devices().count != 0 || !Shell().startupComplete) return;
  for (int id : {IDC_START, IDC_STOP, IDC_FORMAT_JPG, IDC_FORMAT_BMP, IDC_LEFT, IDC_RIGHT, IDC_TOP,
                 IDC_BOTTOM, IDC_DELAY_TRACKBAR, IDC_DELAY_TEXT, IDC_SHOW_HINTS, IDC_SETUP}) {
    Enable(window, id, false);
  }
}

}  // namespace panelcast
