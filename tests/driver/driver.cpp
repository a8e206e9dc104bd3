#include "tests/driver/driver.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cwctype>
#include <fstream>
#include <map>
#include <tuple>

#include "resources/resource_ids.h"
#include "tools/resgen/png_file.h"

namespace driver {
namespace {

constexpr int kBoxIconId = 0x0440, kBoxTextId = 0xFFFF;  // stc1 and -1 in a message box
std::atomic<unsigned> launchCounter{0};  // any test thread increments; makes names unique

// Reads never hang the test on a program that stopped answering: -1 when it does not answer.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result)
             ? static_cast<LRESULT>(result)
             : -1;
}

// A text of `length` units read by WM_GETTEXT or LB_GETTEXT (of line `index`).
std::wstring ReadText(HWND window, LRESULT length, UINT message, WPARAM index = 0) {
  if (length <= 0) return {};
  std::vector<wchar_t> buffer(length + 1);
  const LRESULT got = Send(window, message, message == WM_GETTEXT ? buffer.size() : index,
                           reinterpret_cast<LPARAM>(buffer.data()));
  return std::wstring(buffer.data(), got > 0 ? got : 0);
}

// Top-level windows of a process (pid 0: any) with this class and title (nullptr: any).
std::vector<HWND> Windows(DWORD pid, const wchar_t* windowClass, const wchar_t* title) {
  std::vector<HWND> found;
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, windowClass, title));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (pid == 0 || owner == pid) found.push_back(w);
  }
  return found;
}

bool IsClass(HWND w, const wchar_t* name) {
  wchar_t found[64] = {};
  GetClassNameW(w, found, 64);
  return _wcsicmp(found, name) == 0;
}

// Wine's message box: an icon static (empty and hidden when the box shows none) and a text.
bool LooksLikeMessageBox(HWND w) {
  HWND icon = GetDlgItem(w, kBoxIconId);
  return IsClass(icon, L"Static") && (GetWindowLongW(icon, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
         IsClass(GetDlgItem(w, kBoxTextId), L"Static");
}

// What `draw` paints into a new bitmap of that size, when it returns true; empty otherwise.
Picture DrawPicture(int width, int height, const std::function<bool(HDC)>& draw) {
  Picture picture;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(info.bmiHeader), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(nullptr);
  HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);  // bottom-up
  HGDIOBJ old = dib ? SelectObject(memory, dib) : nullptr;
  if (dib && width > 0 && height > 0 && draw(memory)) {
    GdiFlush();
    picture = {width, height, {}};
    picture.bgr.assign(static_cast<uint8_t*>(bits),
                       static_cast<uint8_t*>(bits) + picture.Stride() * height);
  }
  if (dib) DeleteObject(SelectObject(memory, old));
  DeleteDC(memory);
  return picture;
}

// Against the system's icons drawn as the static draws them, on the background its corner shows:
// under Wine each process loads its own copy of a system icon, so handles do not compare.
BoxIcon RecogniseIcon(HWND iconStatic) {
  RECT r{};
  GetClientRect(iconStatic, &r);
  MapWindowPoints(iconStatic, nullptr, reinterpret_cast<POINT*>(&r), 2);
  const Picture shown = CaptureScreen(r);
  BoxIcon best = BoxIcon::Unknown;  // a box still unpainted or behind a window is not guessed at
  double bestDifference = 4.0;      // the same icon drawn by the same GDI matches almost exactly
  for (const auto& [which, kind] : {std::pair{IDI_ERROR, BoxIcon::Error},
                                    {IDI_WARNING, BoxIcon::Warning},
                                    {IDI_INFORMATION, BoxIcon::Information},
                                    {IDI_QUESTION, BoxIcon::Question}}) {
    const Picture drawn = DrawPicture(shown.width, shown.height, [&](HDC dc) {
      const uint32_t back = shown.At(0, 0);
      const RECT all{0, 0, shown.width, shown.height};
      SetDCBrushColor(dc, RGB(back >> 16, back >> 8, back));
      FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
      return DrawIconEx(dc, 0, 0, LoadIconW(nullptr, which), all.right, all.bottom, 0, nullptr,
                        DI_NORMAL) != FALSE;
    });
    if (drawn.bgr.size() != shown.bgr.size()) continue;
    long long sum = 0;  // per channel; the rows' padding is zero in both
    for (std::size_t i = 0; i < shown.bgr.size(); ++i) sum += std::abs(shown.bgr[i] - drawn.bgr[i]);
    const double difference = static_cast<double>(sum) / (3.0 * shown.width * shown.height);
    if (difference < bestDifference) std::tie(bestDifference, best) = std::pair{difference, kind};
  }
  return best;
}

std::wstring SavePng(const std::wstring& name, const Picture& picture) {
  if (picture.width <= 0 || picture.bgr.size() < picture.Stride() * picture.height) return {};
  resgen::Image image(picture.width, picture.height);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t rgb = picture.At(x, y);
      image.At(x, y) = {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255};
    }
  }
  wchar_t value[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"PANELCAST_ARTIFACTS", value, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) n = GetTempPathW(MAX_PATH, value);
  std::wstring folder(value, n);
  if (folder[0] == L'/') folder = L"Z:" + folder;  // Wine maps the Unix root to Z:
  CreateDirectoryW(folder.c_str(), nullptr);       // fails harmlessly when it exists
  const std::wstring path = folder + L"\\" + name + L".png";
  const std::vector<uint8_t> png = resgen::EncodePngFile(image);
  std::ofstream file(path.c_str(), std::ios::binary);
  file.write(reinterpret_cast<const char*>(png.data()), png.size()).flush();
  return file ? path : std::wstring();
}

// "usb\\Panelcast.exe" -> "panelcast.exe", as processes are listed and compared.
std::wstring Key(const std::wstring& path) {
  std::wstring s = path.substr(path.find_last_of(L"\\/") + 1);
  for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

}  // namespace

HWND FindTopWindow(const std::wstring& title, DWORD pid) {
  const std::vector<HWND> found = Windows(pid, nullptr, title.c_str());
  return found.empty() ? nullptr : found.front();
}

HWND WaitForWindow(const std::wstring& title, DWORD pid, DWORD timeoutMs) {
  HWND found = nullptr;
  const auto shown = [&] { return IsWindowVisible(found = FindTopWindow(title, pid)); };
  return WaitUntil(shown, timeoutMs) ? found : nullptr;
}

bool HasTopLevelWindow(DWORD pid) { return !Windows(pid, nullptr, nullptr).empty(); }

std::wstring WindowText(HWND window) {
  return ReadText(window, window ? Send(window, WM_GETTEXTLENGTH) : 0, WM_GETTEXT);
}
bool IsChecked(HWND dialog, int id) {
  return Send(Control(dialog, id), BM_GETCHECK) == BST_CHECKED;
}
void ClickAndSettle(HWND dialog, int id) { (void)Send(Control(dialog, id), BM_CLICK); }

int ListCount(HWND dialog, int id) { return Send(Control(dialog, id), LB_GETCOUNT); }
int ListSelection(HWND dialog, int id) { return Send(Control(dialog, id), LB_GETCURSEL); }
std::wstring ListLine(HWND dialog, int id, int index) {
  HWND list = Control(dialog, id);
  return ReadText(list, Send(list, LB_GETTEXTLEN, index), LB_GETTEXT, index);
}
void SelectListLine(HWND dialog, int id, int index) {
  (void)Send(Control(dialog, id), LB_SETCURSEL, index);
  PostCommand(dialog, id, LBN_SELCHANGE);
}
void SelectListLineAndSettle(HWND dialog, int id, int index) {
  (void)Send(Control(dialog, id), LB_SETCURSEL, index);
  (void)Send(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE),
             reinterpret_cast<LPARAM>(Control(dialog, id)));
}

void MoveTrackbar(HWND dialog, int id, int position) {
  HWND bar = Control(dialog, id);
  (void)Send(bar, TBM_SETPOS, TRUE, position);
  for (WPARAM code : {MAKEWPARAM(TB_THUMBPOSITION, position), WPARAM{TB_ENDTRACK}}) {
    PostMessageW(dialog, WM_HSCROLL, code, reinterpret_cast<LPARAM>(bar));
  }
}

void SetControlText(HWND dialog, int id, const std::wstring& text) {
  (void)Send(Control(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void PostKey(HWND window, UINT virtualKey) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(window, WM_KEYDOWN, virtualKey, 1 | scan);
  PostMessageW(window, WM_KEYUP, virtualKey, 1 | scan | (3u << 30));
}

void TypeRect(HWND main, const RECT& r) {
  const std::pair<int, LONG> edits[] = {
      {IDC_LEFT, r.left}, {IDC_RIGHT, r.right}, {IDC_TOP, r.top}, {IDC_BOTTOM, r.bottom}};
  for (const auto& [id, value] : edits) SetControlText(main, id, std::to_wstring(value));
}

bool StartToolOn(HWND main, int line, int modeButton, const RECT& rect, int delayStep) {
  constexpr DWORD kTimeoutMs = 15000;
  // Both refill the coordinate edits with the slot's own rectangle: over before it is typed.
  SelectListLineAndSettle(main, IDC_DEVICE_LIST, line);
  ClickAndSettle(main, modeButton);
  if (ListSelection(main, IDC_DEVICE_LIST) != line || !IsChecked(main, modeButton)) return false;
  TypeRect(main, rect);
  if (delayStep >= 0) MoveTrackbar(main, IDC_DELAY_TRACKBAR, delayStep);
  const std::wstring delay = std::to_wstring(delayStep * 100);
  const auto moved = [&] { return delayStep < 0 || ControlText(main, IDC_DELAY_TEXT) == delay; };
  if (!WaitUntil(moved, kTimeoutMs)) return false;
  Click(main, IDC_START);
  return WaitUntil([&] { return IsEnabled(main, IDC_STOP) && !IsEnabled(main, IDC_START); },
                   kTimeoutMs);
}

const char* BoxIconName(BoxIcon icon) {
  static const char* const kNames[] = {"none", "error", "warning", "information", "question"};
  return icon < BoxIcon::Unknown ? kNames[static_cast<int>(icon)] : "unknown";
}

std::vector<HWND> MessageBoxWindows(DWORD pid) {
  std::vector<HWND> boxes = Windows(pid, L"#32770", nullptr);
  std::erase_if(boxes, [](HWND w) { return !IsWindowVisible(w) || !LooksLikeMessageBox(w); });
  std::stable_partition(boxes.begin(), boxes.end(), IsWindowEnabled);
  return boxes;
}

MessageBoxInfo ReadMessageBox(HWND box) {
  HWND icon = GetDlgItem(box, kBoxIconId);
  const bool shown = IsWindowVisible(icon) && SendMessageW(icon, STM_GETICON, 0, 0);
  return {box, WindowText(box), WindowText(GetDlgItem(box, kBoxTextId)),
          shown ? RecogniseIcon(icon) : BoxIcon::None};
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD pid, DWORD timeoutMs) {
  // A box whose icon never matched is still returned, icon Unknown: the test fails on the icon.
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
  if (box) AnswerMessageBox(box->window, buttonId);
  if (box) (void)WaitForWindowGone(box->window, timeoutMs);
  return box;
}

uint32_t Picture::At(int x, int y) const {
  const uint8_t* p = bgr.data() + Stride() * static_cast<std::size_t>(height - 1 - y) + x * 3;
  return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift <= 16; shift += 8) {
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  }
  return true;
}

Picture CaptureScreen(const RECT& r) {
  return DrawPicture(r.right - r.left, r.bottom - r.top, [&](HDC dc) {
    HDC screen = GetDC(nullptr);
    const BOOL copied =
        BitBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return copied != FALSE;
  });
}

std::wstring SaveFramePng(const std::wstring& name, const std::vector<uint8_t>& frame, int width,
                          int height) {
  return SavePng(name, Picture{width, height, frame});
}

std::wstring SaveScreenshot(const std::wstring& name, HWND window) {
  const RECT all{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return SavePng(name, window ? CaptureWindow(window) : CaptureScreen(all));
}

bool On64BitSystem() {
  BOOL wow64 = FALSE;
  return sizeof(void*) == 8 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
}

std::wstring TestProgramFolder() {
  wchar_t path[MAX_PATH];
  const std::wstring s(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return s.substr(0, s.find_last_of(L"\\/") + 1);
}

Program::Program(LaunchOptions options) {
  wchar_t other[MAX_PATH];
  const DWORD n = GetEnvironmentVariableW(L"PANELCAST_TEST_PROGRAM", other, MAX_PATH);
  const bool standIn = options.exeName == LaunchOptions{}.exeName && n > 0 && n < MAX_PATH;
  exeName_ = standIn ? std::wstring(other, n) : options.exeName;
  // Key -> "Name=value": the options' (the last wins), then defaults and the test's own variables.
  std::map<std::wstring, std::wstring> env;
  for (const auto& [name, value] : options.environment) env[Key(name)] = name + L"=" + value;
  const auto set = [&](const wchar_t* name, const std::wstring& value) {  // the value it has
    return env.emplace(Key(name), name + (L"=" + value)).first->second.substr(wcslen(name) + 1);
  };
  const std::wstring serial =
      std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++launchCounter);
  pipeName_ = set(L"PANELCAST_EMU_PIPE",
                  L"\\\\.\\pipe\\panelcast-emu-" + serial + L"-" + std::to_wstring(GetTickCount()));
  wchar_t temp[MAX_PATH];
  const std::wstring logFolder =
      std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + L"panelcast-test-" + serial;
  CreateDirectoryW(logFolder.c_str(), nullptr);
  // Process ids come round again under Wine, and with them folder names: a fresh log.
  DeleteFileW((logFolder + L"\\emulator.log").c_str());
  logPath_ = set(L"PANELCAST_EMU_LOG", logFolder + L"\\emulator.log");
  if (wchar_t* inherited = GetEnvironmentStringsW()) {
    for (const wchar_t* p = inherited; *p; p += wcslen(p) + 1) {
      const std::wstring entry = p;
      const auto eq = entry.find(L'=', 1);  // "=C:=C:\..." entries start with '='
      if (eq != std::wstring::npos) env.emplace(Key(entry.substr(0, eq)), entry);
    }
    FreeEnvironmentStringsW(inherited);
  }
  std::wstring block;
  for (const auto& [key, entry] : env) block += entry + L'\0';

  const std::wstring folder = TestProgramFolder(), exe = folder + exeName_;
  std::wstring commandLine = L"\"" + exe + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_UNICODE_ENVIRONMENT, block.data(), folder.c_str(), &si, &pi)) {
    startError_ = GetLastError();
    return;
  }
  CloseHandle(pi.hThread);
  process_ = pi.hProcess;
  processId_ = pi.dwProcessId;
}

Program::~Program() {
  // It and every process of the same file name: a second copy, or one a run left behind.
  std::vector<std::pair<HANDLE, DWORD>> processes{{process_, processId_}};
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snap, &entry); more; more = Process32NextW(snap, &entry)) {
    const DWORD pid = entry.th32ProcessID;
    if (Key(entry.szExeFile) == Key(exeName_) && pid != processId_) {
      processes.emplace_back(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid), pid);
    }
  }
  if (snap != INVALID_HANDLE_VALUE) CloseHandle(snap);
  for (const auto& [process, pid] : processes) {
    if (!process) continue;
    (void)TerminateProcess(process, 1);  // fails harmlessly on one that has ended
    (void)WaitForSingleObject(process, 5000);
    (void)WaitUntil([pid] { return !HasTopLevelWindow(pid); }, 5000);
    CloseHandle(process);
  }
}

std::optional<DWORD> Program::WaitForExit(DWORD timeoutMs) {
  DWORD code = 0;
  const bool ended = process_ && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
  return ended && GetExitCodeProcess(process_, &code) ? std::optional(code) : std::nullopt;
}

std::vector<std::string> Program::LogLines() const {
  std::vector<std::string> lines;
  std::ifstream in(logPath_.c_str());
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line);
  }
  return lines;
}

std::unique_ptr<PanelSession> LaunchWithPanels(int count, LaunchOptions options, DWORD timeoutMs) {
  // First, so that the options' own PANELCAST_EMU_COUNT wins (PANELCAST_EMU_PANELS wins anyway).
  options.environment.insert(options.environment.begin(),
                             {L"PANELCAST_EMU_COUNT", std::to_wstring(count)});
  auto session = std::make_unique<PanelSession>();
  session->program = std::make_unique<Program>(std::move(options));
  if (!session->program->Started()) return nullptr;
  session->panels = std::make_unique<emu::PanelControl>(session->program->PipeName());
  if (!session->panels->WaitForServer(timeoutMs)) return nullptr;
  session->mainWindow = WaitForWindow(L"Zivovi Panelcast", session->program->Id(), timeoutMs);
  return session->mainWindow ? std::move(session) : nullptr;
}

}  // namespace driver
