// The ends that are not a plain Exit: the session's end, an Exit that has to force a stalled
// worker, and a fault on each kind of thread. Whichever, the library is deinitialised once, as the
// last call, before the process is gone, and only a forced worker is told.
#include "emulator/control/log_line.h"
#include "tests/live/live_test_support.h"

namespace livetest {
namespace {

constexpr wchar_t kAeDebug[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";

struct EndCase {
  const char* what;
  int panels;                // EMU0001..., each running the live monitor
  std::function<void(driver::PanelSession&)> end;
  const panelcast::Message* box;  // the one message on the way, if any
  DWORD exitCode;
  int pagesEnded;            // of the first panels: their pages end blanked, then removed
};

void EndSession(driver::PanelSession& s) {
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutW(s.mainWindow, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000,
                                  &answer));
  EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
  EXPECT_EQ(shelltest::CallCount(*s.program, "RemovePage"), 0) << "the query changed something";
  PostMessageW(s.mainWindow, WM_ENDSESSION, TRUE, 0);
}

const EndCase kEnds[] = {
    {"the session's end", 3, EndSession, nullptr, 0, 3},
    {"Exit while the panels hold their sends", 2,
     [](driver::PanelSession& s) {
       ASSERT_TRUE(s.panels->SetImageDelay(30000));
       ASSERT_TRUE(driver::WaitUntil([&] { return s.panels->Panel("EMU0001")->sendsUnderWay; },
                                     kTimeoutMs));
       driver::Click(s.mainWindow, IDC_EXIT);
     },
     &panelcast::msg::kStopAllFailed, 0, 0},
    {"a fault in a worker's SetImage", 1,
     [](driver::PanelSession& s) { ASSERT_TRUE(s.panels->Crash("SetImage")); },
     nullptr, EXCEPTION_ACCESS_VIOLATION, 0},
    // The trigger's own answer does not count: the process may be gone before it comes.
    {"a fault on the library's thread before a soft-button handler", 1,
     [](driver::PanelSession& s) {
       ASSERT_TRUE(s.panels->Crash("SoftButtonHandler"));
       (void)s.panels->Click("EMU0001", 0x20);
     },
     nullptr, EXCEPTION_ACCESS_VIOLATION, 0},
    {"a fault on the main thread, in the type check of an arriving panel", 1,
     [](driver::PanelSession& s) {
       ASSERT_TRUE(s.panels->Crash("GetDeviceType"));
       (void)s.panels->AddPanel("EMU0002");
     },
     nullptr, EXCEPTION_ACCESS_VIOLATION, 0},
};

TEST(AbnormalEnd, TheLibraryIsDeinitialisedOnceAsTheLastCall) {
  // The system's debugger would hold a faulting process in its crash dialog (Wine starts one
  // even when none is named): with one named that cannot start, the process ends by itself, as
  // on a computer without a debugger.
  wchar_t debugger[1024] = {};
  DWORD size = sizeof debugger;
  const bool hadDebugger = RegGetValueW(HKEY_LOCAL_MACHINE, kAeDebug, L"Debugger", RRF_RT_REG_SZ,
                                        nullptr, debugger, &size) == ERROR_SUCCESS;
  const wchar_t none[] = L"C:\\no debugger here.exe %ld %ld";
  ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kAeDebug, L"Debugger", REG_SZ, none, sizeof none),
            ERROR_SUCCESS);
  for (const EndCase& c : kEnds) {
    SCOPED_TRACE(c.what);
    auto session = shelltest::StartWithPanelCount(c.panels);
    ASSERT_TRUE(session);
    driver::Program& program = *session->program;
    for (int line = 0; line < c.panels; ++line) {
      ASSERT_TRUE(StartLiveMonitorOn(session->mainWindow, line, RECT{0, 0, 320, 240}));
      ASSERT_FALSE(NextFrame(*session->panels, "EMU000" + std::to_string(line + 1)).empty());
    }
    c.end(*session);
    if (c.box) shelltest::ExpectBoxes(program.Id(), {BoxOf(*c.box)});
    bool boxSeen = false;
    EXPECT_TRUE(driver::WaitUntil(
        [&] {
          boxSeen = boxSeen || !driver::MessageBoxWindows(program.Id()).empty();
          return !program.Running();
        },
        10000));
    EXPECT_FALSE(boxSeen) << "a message box came up";
    EXPECT_EQ(program.WaitForExit(0), std::optional<DWORD>(c.exitCode));
    EXPECT_TRUE(shelltest::HasNoWindow(program.Id()));

    std::vector<emu::LogLine> calls;  // from the log file: the control channel is gone
    for (const std::string& text : program.LogLines()) {
      if (auto line = emu::ParseLogLine(text)) calls.push_back(*line);
    }
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().name, "Deinitialize") << "calls after it";
    EXPECT_EQ(shelltest::CallCount(program, "Deinitialize"), 1);
    for (int panel = 1; panel <= c.pagesEnded; ++panel) {
      const std::string dev = "dev=EMU000" + std::to_string(panel) + " ";
      std::vector<std::string> pageCalls;
      for (const emu::LogLine& call : calls) {
        if (call.args.rfind(dev, 0) == 0 && call.args.find("page=1") != std::string::npos) {
          pageCalls.push_back(call.name + (call.args.find("len=0") != std::string::npos ? " blank" : ""));
        }
      }
      ASSERT_GE(pageCalls.size(), 2u) << dev;
      EXPECT_EQ(std::vector<std::string>(pageCalls.end() - 2, pageCalls.end()),
                (std::vector<std::string>{"SetImage blank", "RemovePage"}))
          << dev;
    }
  }
  if (hadDebugger) {
    (void)RegSetKeyValueW(HKEY_LOCAL_MACHINE, kAeDebug, L"Debugger", REG_SZ, debugger, size);
  } else {
    (void)RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kAeDebug, L"Debugger");
  }
}

}  // namespace
}  // namespace livetest
