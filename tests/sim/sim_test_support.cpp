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
  SetEnvironmentVariableW(simstandin::kSimulatorLogVariable, logPath_.c_str());  // inherited
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder_.c_str(), &si, &pi)) {
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

std::unique_ptr<driver::PanelSession> ProgramRun::session_;
std::wstring ProgramRun::exe_;
std::wstring ProgramRun::libraryLog_;
std::unique_ptr<Simulator> ProgramRun::simulator_;

void ProgramRun::TearDownTestSuite() {
  session_.reset();
  simulator_.reset();
}

bool ProgramRun::Ready(bool simulator, const std::wstring& exe) {
  if (!simulator) simulator_.reset();
  if (simulator && !(simulator_ && simulator_->Started())) simulator_ = std::make_unique<Simulator>();
  if (simulator && !simulator_->Started()) return false;
  if (session_ && exe_ == exe && IsWindow(Main())) return true;
  session_.reset();
  exe_ = exe;
  driver::LaunchOptions options;
  options.exeName = exe;
  libraryLog_ = NewFolder(L"panelcast-simconnect-") + L"simconnect.log";
  options.environment.emplace_back(simstandin::kLibraryLogVariable, libraryLog_);
  session_ = shelltest::StartWithPanels(L"EMU0001", true, options);
  if (!session_) return false;
  RECT outer = {};
  GetWindowRect(Main(), &outer);
  SetWindowPos(Main(), nullptr, 0, GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

HWND ProgramRun::Main() { return session_->mainWindow; }
DWORD ProgramRun::Pid() { return session_->program->Id(); }
emu::PanelControl& ProgramRun::Panel() { return *session_->panels; }
std::vector<LogLine> ProgramRun::LibraryLog() { return ReadLog(libraryLog_); }

std::vector<std::string> ProgramRun::Calls(std::size_t from) {
  std::vector<std::string> calls;
  const std::vector<emu::CallRecord> log = Panel().Log(kSerial);
  for (std::size_t i = from; i < log.size(); ++i) calls.push_back(Describe(log[i]));
  return calls;
}

uint32_t ProgramRun::ImageCount(uint32_t page) {
  const auto panel = Panel().Panel(kSerial);
  for (const emu::PageInfo& info : panel ? panel->pages : std::vector<emu::PageInfo>{}) {
    if (info.number == page) return info.imageCount;
  }
  return 0;
}

bool ProgramRun::WaitForFrames(uint32_t page, uint32_t count) {
  const uint32_t before = ImageCount(page);
  return driver::WaitUntil([&] { return ImageCount(page) >= before + count; }, kTimeoutMs, 50);
}

bool ProgramRun::PressStop() {
  driver::Click(Main(), IDC_STOP);
  return driver::WaitUntil([] { return driver::IsEnabled(Main(), IDC_START); }, kTimeoutMs);
}

Effect ProgramRun::Observe(const std::function<void()>& action) {
  Effect effect;
  const std::vector<LogLine> library = LibraryLog();
  for (const LogLine& line : library) effect.connection += line.text.rfind("Open", 0) == 0;
  ++effect.connection;
  const std::size_t calls = Panel().Log(kSerial).size();
  action();
  const std::vector<LogLine> after = LibraryLog();
  effect.library.assign(after.begin() + static_cast<long>(library.size()), after.end());
  for (const std::string& call : Calls(calls)) {
    if (call.rfind("SetImage", 0) != 0) effect.calls.push_back(call);  // frames go on meanwhile
  }
  return effect;
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
