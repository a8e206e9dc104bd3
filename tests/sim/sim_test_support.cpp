#include "tests/sim/sim_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "emulator/simulator/sim_link.h"
#include "feeds/bitmap_resource.h"
#include "tests/feeds/frame_checks.h"
#include "tests/shell/shell_test_support.h"

namespace simtest {
namespace {

std::atomic<unsigned> folderCounter{0};  // any test thread; makes folder names unique

std::wstring NewFolder(const wchar_t* prefix) {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  const std::wstring folder = std::wstring(base) + prefix + std::to_wstring(GetCurrentProcessId()) +
                              L"-" + std::to_wstring(++folderCounter) + L"-" +
                              std::to_wstring(GetTickCount());
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder + L"\\";
}

// A copy of the environment block with one variable added.
std::vector<wchar_t> EnvironmentWith(const std::wstring& entry) {
  std::vector<wchar_t> block;
  if (wchar_t* env = GetEnvironmentStringsW()) {
    for (const wchar_t* p = env; *p; p += wcslen(p) + 1) block.insert(block.end(), p, p + wcslen(p) + 1);
    FreeEnvironmentStringsW(env);
  }
  block.insert(block.end(), entry.begin(), entry.end());
  block.push_back(L'\0');
  block.push_back(L'\0');
  return block;
}

std::string Describe(const emu::CallRecord& call) {
  std::istringstream in(call.args);
  std::string out = call.name, token;
  while (in >> token) {
    if (token.rfind("dev=", 0) == 0 || token.rfind("cb=", 0) == 0 || token.rfind("ctx=", 0) == 0) {
      continue;
    }
    out += ' ' + token;
  }
  return out;
}

}  // namespace

std::vector<LogLine> ReadLog(const std::wstring& path) {
  std::vector<LogLine> lines;
  std::ifstream in(path.c_str());
  for (std::string line; std::getline(in, line);) {
    const auto tab = line.find('\t');
    if (tab == std::string::npos) continue;
    lines.push_back({static_cast<DWORD>(std::stoul(line.substr(0, tab))), line.substr(tab + 1)});
  }
  return lines;
}

std::vector<std::string> Texts(const std::vector<LogLine>& lines) {
  std::vector<std::string> texts;
  for (const LogLine& line : lines) texts.push_back(line.text);
  return texts;
}

Simulator::Simulator(const std::wstring& fileName, bool copy) {
  folder_ = NewFolder(L"panelcast-sim-");
  logPath_ = folder_ + L"simulator.log";
  std::wstring exe = driver::TestProgramFolder() + L"FSX.EXE";
  if (copy) {
    const std::wstring target = folder_ + fileName;
    if (!CopyFileW(exe.c_str(), target.c_str(), FALSE)) return;
    exe = target;
  }
  std::wstring commandLine = L"\"" + exe + L"\"";
  std::vector<wchar_t> env =
      EnvironmentWith(std::wstring(simstandin::kSimulatorLogVariable) + L"=" + logPath_);
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_UNICODE_ENVIRONMENT, env.data(), folder_.c_str(), &si, &pi)) {
    ADD_FAILURE() << "the simulator stand-in did not start, error " << GetLastError();
    return;
  }
  CloseHandle(pi.hThread);
  process_ = pi.hProcess;
  window_ = driver::WaitForWindow(simstandin::kWindowTitle, pi.dwProcessId, kTimeoutMs);
}

Simulator::~Simulator() { Stop(); }

RECT Simulator::ScreenRect() const {
  RECT client = {};
  GetClientRect(window_, &client);
  POINT corner = {0, 0};
  ClientToScreen(window_, &corner);
  return {corner.x, corner.y, corner.x + client.right, corner.y + client.bottom};
}

void Simulator::Stop() {
  if (!process_) return;
  (void)TerminateProcess(process_, 1);
  (void)WaitForSingleObject(process_, kTimeoutMs);
  const HWND window = window_;
  (void)driver::WaitUntil([window] { return !IsWindow(window); }, kTimeoutMs);
  CloseHandle(process_);
  process_ = nullptr;
  window_ = nullptr;
}

std::unique_ptr<Session> StartProgram(const std::wstring& exeName) {
  auto session = std::make_unique<Session>();
  driver::LaunchOptions options;
  options.exeName = exeName;
  // The library log lives beside the emulator's, in a folder made for this launch.
  const std::wstring folder = NewFolder(L"panelcast-simconnect-");
  session->libraryLogPath = folder + L"simconnect.log";
  options.environment.emplace_back(simstandin::kLibraryLogVariable, session->libraryLogPath);
  session->panels = shelltest::StartWithPanels(L"EMU0001", true, options);
  if (!session->panels) return nullptr;
  // The user moves the program's window to the bottom left, off the simulator's GPS (top left)
  // and the test pictures (right), so that no capture shows it.
  RECT outer = {};
  GetWindowRect(session->main(), &outer);
  SetWindowPos(session->main(), nullptr, 0, GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top),
               0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return session;
}

bool StartTool(const Session& session, int modeButton, const RECT& rect) {
  const HWND main = session.main();
  driver::Click(main, modeButton);
  if (!driver::WaitUntil([&] { return driver::IsChecked(main, modeButton); }, kTimeoutMs)) {
    return false;
  }
  // The mode change shows the slot's own rectangle in the edits; what is typed comes after it.
  driver::TypeRect(main, rect);
  driver::Click(main, kStart);
  return true;
}

bool PressStop(const Session& session) {
  driver::Click(session.main(), kStop);
  return driver::WaitUntil([&] { return driver::IsEnabled(session.main(), kStart); }, kTimeoutMs);
}

std::vector<std::string> PanelCalls(emu::PanelControl& control, std::size_t from) {
  std::vector<std::string> calls;
  const std::vector<emu::CallRecord> log = control.Log(kSerial);
  for (std::size_t i = from; i < log.size(); ++i) calls.push_back(Describe(log[i]));
  return calls;
}

std::size_t PanelCallCount(emu::PanelControl& control) { return control.Log(kSerial).size(); }

uint32_t ImageCount(emu::PanelControl& control, uint32_t page) {
  const auto panel = control.Panel(kSerial);
  if (!panel) return 0;
  for (const emu::PageInfo& info : panel->pages) {
    if (info.number == page) return info.imageCount;
  }
  return 0;
}

bool WaitForFrames(emu::PanelControl& control, uint32_t page, uint32_t count, DWORD timeoutMs) {
  const uint32_t before = ImageCount(control, page);
  return driver::WaitUntil([&] { return ImageCount(control, page) >= before + count; }, timeoutMs,
                           50);
}

std::vector<uint8_t> HintPixels(int bitmapId) {
  const std::wstring exe = driver::TestProgramFolder() + L"Panelcast.exe";
  static const HMODULE module =
      LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  const panelcast::FrameBitmap bitmap = panelcast::LoadFrameBitmap(module, bitmapId);
  if (!bitmap || bitmap.length < emu::kFrameBytes) return {};
  return std::vector<uint8_t>(bitmap.pixels, bitmap.pixels + emu::kFrameBytes);
}

::testing::AssertionResult CarriesLabels(const std::vector<uint8_t>& frame,
                                         const std::vector<uint8_t>& hints) {
  if (hints.size() != emu::kFrameBytes) return ::testing::AssertionFailure() << "no hint bitmap";
  return feeds_test::CarriesTheLabels(frame, hints.data());
}

}  // namespace simtest
