// The ends that are not Exit: the session's end and a fault. Either way the panels' pages are
// ended and the library deinitialised once before the process is gone, without a message box.
#include <gtest/gtest.h>

#include "emulator/control/log_line.h"
#include "tests/live/live_test_support.h"

namespace livetest {
namespace {

constexpr wchar_t kAeDebug[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";

// The calls of the log file, in order (the control channel is gone with the process).
std::vector<emu::LogLine> Calls(const driver::Program& program) {
  std::vector<emu::LogLine> calls;
  for (const std::string& text : program.LogLines()) {
    if (auto line = emu::ParseLogLine(text)) calls.push_back(*line);
  }
  return calls;
}

// Runs until the process is gone, at most 10 s; false when it was not, or a message box came.
bool EndsWithoutAMessage(driver::Program& program) {
  bool boxSeen = false;
  const bool ended = driver::WaitUntil([&] {
    boxSeen = boxSeen || !driver::MessageBoxWindows(program.Id()).empty();
    return !program.Running();
  }, 10000);
  EXPECT_FALSE(boxSeen) << "a message box came up";
  return ended && !boxSeen;
}

class AbnormalEnd : public ::testing::Test {
 protected:
  // The system's debugger would hold a faulting process in its crash dialog (Wine starts one
  // even when none is named): with one named that cannot start, the process ends by itself, as
  // on a computer without a debugger.
  void SetUp() override {
    DWORD size = sizeof debugger_;
    hadDebugger_ = RegGetValueW(HKEY_LOCAL_MACHINE, kAeDebug, L"Debugger", RRF_RT_REG_SZ, nullptr,
                                debugger_, &size) == ERROR_SUCCESS;
    const wchar_t none[] = L"C:\\no debugger here.exe %ld %ld";
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kAeDebug, L"Debugger", REG_SZ, none, sizeof none),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    if (hadDebugger_) {
      (void)RegSetKeyValueW(HKEY_LOCAL_MACHINE, kAeDebug, L"Debugger", REG_SZ, debugger_,
                            static_cast<DWORD>((wcslen(debugger_) + 1) * sizeof(wchar_t)));
    } else {
      (void)RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kAeDebug, L"Debugger");
    }
  }

  bool StartLiveMonitors(int count) {
    session_ = shelltest::StartWithPanelCount(count);
    if (!session_) return false;
    for (int line = 0; line < count; ++line) {
      if (!StartLiveMonitorOn(session_->mainWindow, line, RECT{0, 0, 320, 240})) return false;
      if (NextFrame(*session_->panels, "EMU000" + std::to_string(line + 1)).empty()) return false;
    }
    return true;
  }

  std::unique_ptr<driver::PanelSession> session_;
  wchar_t debugger_[1024] = {};
  bool hadDebugger_ = false;
};

TEST_F(AbnormalEnd, SessionEndEndsEveryPageAndTheLibraryOnceWithoutAMessage) {
  ASSERT_TRUE(StartLiveMonitors(3));
  driver::Program& program = *session_->program;
  const HWND main = session_->mainWindow;

  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
  EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
  EXPECT_TRUE(program.Running());
  EXPECT_EQ(shelltest::CallCount(program, "RemovePage"), 0) << "the query changed something";

  // Posted, as the test must watch for message boxes while the program ends.
  PostMessageW(main, WM_ENDSESSION, TRUE, 0);
  ASSERT_TRUE(EndsWithoutAMessage(program));
  EXPECT_TRUE(shelltest::HasNoWindow(program.Id()));

  const std::vector<emu::LogLine> calls = Calls(program);
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back().name, "Deinitialize");
  EXPECT_EQ(shelltest::CallCount(program, "Deinitialize"), 1);
  for (int panel = 1; panel <= 3; ++panel) {
    const std::string dev = "dev=EMU000" + std::to_string(panel) + " ";
    std::vector<std::string> last;  // the panel's page calls, the last two of them
    for (const emu::LogLine& call : calls) {
      if ((call.args + " ").find(dev) == 0 && call.args.find("page=1") != std::string::npos) {
        last.push_back(call.name + (call.args.find("len=0") != std::string::npos ? " blank" : ""));
      }
    }
    ASSERT_GE(last.size(), 2u) << dev;
    EXPECT_EQ(std::vector<std::string>(last.end() - 2, last.end()),
              (std::vector<std::string>{"SetImage blank", "RemovePage"}))
        << dev;
  }
}

// A fault on one of the program's threads, and what makes it happen.
struct FaultCase {
  const char* where;
  const char* crash;  // the emulator's CRASH target
  std::function<bool(emu::PanelControl&)> trigger;
};

class FaultEnds : public AbnormalEnd, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FaultEnds, TheLibraryIsDeinitialisedOnceAndTheFaultEndsTheProcess) {
  const FaultCase& c = GetParam();
  ASSERT_TRUE(StartLiveMonitors(1));
  emu::PanelControl& panels = *session_->panels;
  driver::Program& program = *session_->program;
  ASSERT_TRUE(panels.Crash(c.crash));
  // The trigger's own answer does not count: the process may be gone before it comes.
  (void)c.trigger(panels);

  ASSERT_TRUE(EndsWithoutAMessage(program)) << c.where;
  EXPECT_EQ(program.WaitForExit(0), std::optional<DWORD>(EXCEPTION_ACCESS_VIOLATION)) << c.where;
  const std::vector<emu::LogLine> calls = Calls(program);
  EXPECT_EQ(shelltest::CallCount(program, "Deinitialize"), 1) << c.where;
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back().name, "Deinitialize") << c.where << ": calls after it";
}

bool Nothing(emu::PanelControl&) { return true; }

INSTANTIATE_TEST_SUITE_P(
    OnEveryKindOfThread, FaultEnds,
    ::testing::Values(
        FaultCase{"a worker's SetImage", "SetImage", Nothing},
        FaultCase{"the library's thread before a soft-button handler", "SoftButtonHandler",
                  [](emu::PanelControl& p) { return p.Click("EMU0001", 0x20); }},
        FaultCase{"the main thread, in the type check of an arriving panel", "GetDeviceType",
                  [](emu::PanelControl& p) { return p.AddPanel("EMU0002"); }}));

}  // namespace
}  // namespace livetest
