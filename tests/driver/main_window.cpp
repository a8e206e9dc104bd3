#include "tests/driver/main_window.h"

#include <string>

#include "resources/resource_ids.h"
#include "tests/driver/controls.h"
#include "tests/driver/wait.h"

namespace driver {
namespace {

constexpr DWORD kTimeoutMs = 15000;

}  // namespace

void TypeRect(HWND main, const RECT& rect) {
  SetControlText(main, IDC_LEFT, std::to_wstring(rect.left));
  SetControlText(main, IDC_RIGHT, std::to_wstring(rect.right));
  SetControlText(main, IDC_TOP, std::to_wstring(rect.top));
  SetControlText(main, IDC_BOTTOM, std::to_wstring(rect.bottom));
}

bool StartToolOn(HWND main, int line, int modeButton, const RECT& rect, int delayStep) {
  // Both refill the coordinate edits with the slot's own rectangle: they must be over before the
  // new one is typed.
  SelectListLineAndSettle(main, IDC_DEVICE_LIST, line);
  if (ListSelection(main, IDC_DEVICE_LIST) != line) return false;
  ClickAndSettle(main, modeButton);
  if (!IsChecked(main, modeButton)) return false;
  TypeRect(main, rect);
  if (delayStep >= 0) {
    MoveTrackbar(main, IDC_DELAY_TRACKBAR, delayStep);
    if (!WaitUntil(
            [&] { return ControlText(main, IDC_DELAY_TEXT) == std::to_wstring(delayStep * 100); },
            kTimeoutMs)) {
      return false;
    }
  }
  Click(main, IDC_START);
  return WaitUntil([&] { return IsEnabled(main, IDC_STOP) && !IsEnabled(main, IDC_START); },
                   kTimeoutMs);
}

}  // namespace driver
