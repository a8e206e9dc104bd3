#include "tests/driver/message_boxes.h"

#include <cstdlib>
#include <utility>

#include "tests/driver/controls.h"
#include "tests/driver/pictures.h"
#include "tests/driver/wait.h"

namespace driver {
namespace {

constexpr int kTextStaticId = 0xFFFF;

std::wstring ClassOf(HWND w) {
  wchar_t name[64] = {};
  GetClassNameW(w, name, 64);
  return name;
}

BOOL CALLBACK CollectWindow(HWND w, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
  return TRUE;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&children));
  return children;
}

bool IsIconStatic(HWND w) {
  return _wcsicmp(ClassOf(w).c_str(), L"Static") == 0 &&
         (GetWindowLongW(w, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

// A message box is a dialog made only of command buttons, one text static and perhaps an icon:
// that tells it apart from the program's own dialogs (list boxes, edits, bitmaps).
bool LooksLikeMessageBox(HWND w) {
  if (ClassOf(w) != L"#32770") return false;
  bool hasText = false;
  for (HWND c : Children(w)) {
    const std::wstring cls = ClassOf(c);
    const int id = GetDlgCtrlID(c);
    if (_wcsicmp(cls.c_str(), L"Button") == 0) {
      if (id < IDOK || id > IDCONTINUE) return false;
    } else if (_wcsicmp(cls.c_str(), L"Static") == 0) {
      if (IsIconStatic(c)) continue;
      if (id != kTextStaticId || hasText) return false;
      hasText = true;
    } else {
      return false;
    }
  }
  return hasText;
}

// Mean difference per colour channel between two pictures of the same size.
double MeanDifference(const Picture& a, const Picture& b) {
  if (a.width != b.width || a.height != b.height || a.width == 0) return 1e9;
  long long sum = 0;
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      const uint32_t p = a.At(x, y), q = b.At(x, y);
      for (int shift = 0; shift <= 16; shift += 8) {
        sum += std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF));
      }
    }
  }
  return static_cast<double>(sum) / (3.0 * a.width * a.height);
}

// The system icon `which` drawn the way the box's icon static draws it: stretched over the
// control, on the background the control shows at its corner (icons have transparent corners).
Picture DrawSystemIcon(LPCWSTR which, int width, int height, uint32_t background) {
  return DrawPicture(width, height, [&](HDC dc) {
    HBRUSH brush = CreateSolidBrush(RGB(background >> 16, background >> 8, background));
    RECT all{0, 0, width, height};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    return DrawIconEx(dc, 0, 0, LoadIconW(nullptr, which), width, height, 0, nullptr, DI_NORMAL) !=
           FALSE;
  });
}

BoxIcon RecogniseIcon(HWND iconStatic) {
  RECT r{};
  GetClientRect(iconStatic, &r);
  MapWindowPoints(iconStatic, nullptr, reinterpret_cast<POINT*>(&r), 2);
  const Picture shown = CaptureScreen(r);
  if (shown.width == 0) return BoxIcon::Unknown;
  const std::pair<LPCWSTR, BoxIcon> candidates[] = {{IDI_ERROR, BoxIcon::Error},
                                                    {IDI_WARNING, BoxIcon::Warning},
                                                    {IDI_INFORMATION, BoxIcon::Information},
                                                    {IDI_QUESTION, BoxIcon::Question}};
  BoxIcon best = BoxIcon::Unknown;
  double bestDifference = 1e9;
  for (const auto& [which, kind] : candidates) {
    const double d =
        MeanDifference(shown, DrawSystemIcon(which, shown.width, shown.height, shown.At(0, 0)));
    if (d < bestDifference) {
      bestDifference = d;
      best = kind;
    }
  }
  // The same icon drawn by the same GDI matches almost exactly; anything else (a box still
  // unpainted, a window in front) is not guessed at.
  return bestDifference < 4.0 ? best : BoxIcon::Unknown;
}

}  // namespace

const char* BoxIconName(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::None:
      return "none";
    case BoxIcon::Error:
      return "error";
    case BoxIcon::Warning:
      return "warning";
    case BoxIcon::Information:
      return "information";
    case BoxIcon::Question:
      return "question";
    case BoxIcon::Unknown:
      break;
  }
  return "unknown";
}

bool MessageBoxInfo::HasButton(int id) const {
  for (const auto& b : buttons) {
    if (b.id == id) return true;
  }
  return false;
}

std::vector<HWND> MessageBoxWindows(DWORD pid) {
  std::vector<HWND> all, enabled, disabled;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
  for (HWND w : all) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if ((pid == 0 || owner == pid) && IsWindowVisible(w) && LooksLikeMessageBox(w)) {
      (IsWindowEnabled(w) ? enabled : disabled).push_back(w);
    }
  }
  enabled.insert(enabled.end(), disabled.begin(), disabled.end());
  return enabled;
}

MessageBoxInfo ReadMessageBox(HWND box) {
  MessageBoxInfo info;
  info.window = box;
  info.title = WindowText(box);
  for (HWND c : Children(box)) {
    const std::wstring cls = ClassOf(c);
    if (_wcsicmp(cls.c_str(), L"Button") == 0) {
      if (IsWindowVisible(c)) info.buttons.push_back({GetDlgCtrlID(c), WindowText(c)});
    } else if (IsIconStatic(c)) {
      // A box without an icon may keep an empty, hidden icon control.
      if (IsWindowVisible(c) && SendMessageW(c, STM_GETICON, 0, 0) != 0) {
        info.icon = RecogniseIcon(c);
      }
    } else if (GetDlgCtrlID(c) == kTextStaticId) {
      info.text = WindowText(c);
    }
  }
  return info;
}

void AnswerMessageBox(HWND box, int buttonId) {
  if (HWND button = GetDlgItem(box, buttonId)) {
    PostMessageW(button, BM_CLICK, 0, 0);
  } else {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
  }
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD pid, DWORD timeoutMs) {
  // A box whose icon never matched is still reported, with the icon Unknown, so the test fails
  // on the icon and not on a missing box.
  std::optional<MessageBoxInfo> seen;
  (void)WaitUntil(
      [&] {
        const auto boxes = MessageBoxWindows(pid);
        if (!boxes.empty()) seen = ReadMessageBox(boxes.front());
        return seen && seen->icon != BoxIcon::Unknown;
      },
      timeoutMs);
  return seen;
}

std::optional<MessageBoxInfo> AnswerNextMessageBox(DWORD pid, int buttonId, DWORD timeoutMs) {
  auto box = WaitForMessageBox(pid, timeoutMs);
  if (!box) return std::nullopt;
  AnswerMessageBox(box->window, buttonId);
  (void)WaitForWindowGone(box->window, timeoutMs);
  return box;
}

}  // namespace driver
