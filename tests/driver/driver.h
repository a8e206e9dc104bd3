// The end-to-end test driver: the program run, its windows driven as a user drives them through
// messages (reads sent, actions posted: a box the program opens never blocks the test), pictures.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <utility>

#include "emulator/control/panel_control.h"
#include "tests/driver/message_boxes.h"
#include "tests/driver/wait.h"

namespace driver {

// A visible or hidden top-level window with exactly this title; pid 0 means any process.
HWND FindTopWindow(const std::wstring& title, DWORD pid = 0);
HWND WaitForWindow(const std::wstring& title, DWORD pid, DWORD timeoutMs);  // once visible
inline bool WaitForWindowGone(HWND window, DWORD timeoutMs) {
  return WaitUntil([window] { return !IsWindow(window); }, timeoutMs);
}

inline HWND Control(HWND dialog, int id) { return GetDlgItem(dialog, id); }
std::wstring WindowText(HWND window);  // WM_GETTEXT, which reads edits of another process too
inline std::wstring ControlText(HWND dialog, int id) { return WindowText(Control(dialog, id)); }
bool IsChecked(HWND dialog, int id);
inline bool IsEnabled(HWND dialog, int id) { return IsWindowEnabled(Control(dialog, id)); }

inline void Click(HWND dialog, int id) { PostMessageW(Control(dialog, id), BM_CLICK, 0, 0); }
// Sent, for a button that opens no window: what the test types next comes after what it refills.
void ClickAndSettle(HWND dialog, int id);
inline void PostCommand(HWND dialog, int id, WORD notification = 0) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, notification),
               reinterpret_cast<LPARAM>(Control(dialog, id)));
}

int ListCount(HWND dialog, int id);
std::wstring ListLine(HWND dialog, int id, int index);
int ListSelection(HWND dialog, int id);  // LB_ERR when none
// The selection moved, then LBN_SELCHANGE posted (or sent, returning once it is handled).
void SelectListLine(HWND dialog, int id, int index);
void SelectListLineAndSettle(HWND dialog, int id, int index);
void MoveTrackbar(HWND dialog, int id, int position);  // then WM_HSCROLL, as a drag ends
void SetControlText(HWND dialog, int id, const std::wstring& text);
inline void RequestClose(HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }
inline void PressEscape(HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); }
void PostKey(HWND window, UINT virtualKey);  // WM_KEYDOWN then WM_KEYUP

// The main window's edits typed; and line `line`, `modeButton`, `rect` and `delayStep` (unless
// negative) chosen and START pressed: true once STOP is enabled, within 15 s.
void TypeRect(HWND main, const RECT& rect);
bool StartToolOn(HWND main, int line, int modeButton, const RECT& rect, int delayStep = -1);

// 24 bits in DIB layout, as panel frames: rows bottom-up, blue-green-red, padded to 4 bytes.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> bgr;

  std::size_t Stride() const { return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3}; }
  uint32_t At(int x, int y) const;  // y from the top, as 0x00RRGGBB
};

bool Near(uint32_t a, uint32_t b, int tolerance);  // within `tolerance` in each channel
Picture CaptureScreen(const RECT& screenRect);
inline Picture CaptureWindow(HWND window) {  // its outer rectangle
  RECT r{};
  return GetWindowRect(window, &r) ? CaptureScreen(r) : Picture{};
}
// `name`.png in $PANELCAST_ARTIFACTS (else the temporary folder): its path, empty on failure.
std::wstring SaveFramePng(const std::wstring& name, const std::vector<uint8_t>& frame,
                          int width = 320, int height = 240);
std::wstring SaveScreenshot(const std::wstring& name, HWND window = nullptr);  // nullptr: all

struct LaunchOptions {
  std::vector<std::pair<std::wstring, std::wstring>> environment;  // over the test's own
  // Beside the test; PANELCAST_TEST_PROGRAM (relative to it) stands in for this default.
  std::wstring exeName = L"Panelcast.exe";
};

// One run with its own PANELCAST_EMU_PIPE and a fresh PANELCAST_EMU_LOG unless the options set
// them. The destructor ends it and every process of its exe: the next test sees none of them.
class Program {
 public:
  explicit Program(LaunchOptions options = {});
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Started() const { return process_ != nullptr; }
  DWORD StartError() const { return startError_; }  // of CreateProcessW
  HANDLE Handle() const { return process_; }
  DWORD Id() const { return processId_; }
  const std::wstring& PipeName() const { return pipeName_; }
  std::optional<DWORD> WaitForExit(DWORD timeoutMs);  // the exit code
  bool Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
  std::vector<std::string> LogLines() const;  // the emulator's log so far; it outlives the run

 private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0, startError_ = 0;
  std::wstring exeName_, pipeName_, logPath_;
};

std::wstring TestProgramFolder();  // with a trailing backslash
bool On64BitSystem();              // the program under test has the test's bitness
bool HasTopLevelWindow(DWORD pid);

struct PanelSession {
  std::unique_ptr<Program> program;
  std::unique_ptr<emu::PanelControl> panels;
  HWND mainWindow = nullptr;  // "Zivovi Panelcast", visible
};

// The program with `count` panels EMU0001, ... (unless the options set PANELCAST_EMU_PANELS or
// _COUNT), once the emulator's channel answers and the main window shows; else nothing.
std::unique_ptr<PanelSession> LaunchWithPanels(int count, LaunchOptions options = {},
                                               DWORD timeoutMs = 15000);

}  // namespace driver
