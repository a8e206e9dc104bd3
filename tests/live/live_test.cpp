// The live monitor as a user runs it: the settings each tool offers, START and STOP, the panel's
// picture, labels, buttons, encoders and pages, workers that give up or stall, the program's ends.
#include <optional>

#include "emulator/control/log_line.h"
#include "tests/driver/call_sequence.h"
#include "tests/driver/driver.h"
#include "tests/feeds/frame_checks.h"
#include "tests/live/live_test_support.h"

namespace livetest {
namespace {

namespace msg = panelcast::msg;
using shelltest::BoxOf;
using shelltest::kTimeoutMs;
constexpr int kList = IDC_DEVICE_LIST, kStart = IDC_START, kStop = IDC_STOP;
constexpr int kDelayText = IDC_DELAY_TEXT, kHints = IDC_SHOW_HINTS;
constexpr char kPanel[] = "EMU0001";
const std::string kFrame = "SetImage page=1 index=0 len=230400";
const std::vector<std::string> kStartCalls = {"RegisterPageCallback ctx=\"Zivovi Panelcast\"",
                                              "RegisterSoftButtonCallback ctx=\"Zivovi Panelcast\"",
                                              "AddPage page=1 flags=1"};

// Waits until START and STOP show the selected panel running (or idle).
bool ShowsRunning(HWND main, bool running) {
  return driver::WaitUntil([&] {
    return driver::IsEnabled(main, kStop) == running && driver::IsEnabled(main, kStart) != running;
  }, kTimeoutMs);
}

// The panel's calls as feeds_test::DescribeCall gives them; only those of `name` when given.
std::vector<std::string> Calls(emu::PanelControl& panels, const std::string& name = {}) {
  std::vector<std::string> calls;
  for (const auto& call : panels.Log(kPanel)) {
    if (name.empty() || call.name == name) calls.push_back(feeds_test::DescribeCall(call));
  }
  return calls;
}

// A run of the program with two panels. A run costs seconds under Wine, so the tests share one,
// and leave the panels idle.
class Live : public ::testing::Test {
 protected:
  static void TearDownTestSuite() { run_.reset(); }
  bool Run() {
    if (!run_ || !run_->program->Running()) run_ = shelltest::StartWithPanelCount(2);
    main_ = run_ ? run_->mainWindow : nullptr;
    return run_ != nullptr;
  }
  emu::PanelControl& Panels() { return *run_->panels; }
  DWORD Pid() { return run_->program->Id(); }

  static inline std::unique_ptr<driver::PanelSession> run_;
  HWND main_ = nullptr;
};

TEST_F(Live, EachModeEnablesItsSettings) {
  ASSERT_TRUE(Run());
  const int controls[] = {IDC_FORMAT_JPG, IDC_FORMAT_BMP, IDC_LEFT, IDC_RIGHT, IDC_TOP, IDC_BOTTOM,
                          IDC_DELAY_TRACKBAR, kDelayText, kHints, kStart, IDC_SETUP};
  const struct {
    int radio;
    const char* enabled;  // a digit per control
    const wchar_t* setupText;
  } modes[] = {
      {IDC_MODE_GPS, "00111111111", L"Set\nCoordinates"},
      {IDC_MODE_LIVE_VIEW, "00111111111", L"Set\nCoordinates"},
      {IDC_MODE_STATIC, "11000000111", L"Select\nFolder"},
      {IDC_MODE_LIVE_MONITOR, "00111111111", L"Set\nCoordinates"},
      {IDC_MODE_CUSTOMIZE, "00000000011", L"Select\nFolder"},
  };
  for (const auto& mode : modes) {
    driver::Click(main_, mode.radio);
    ASSERT_TRUE(driver::WaitUntil(
        [&] { return driver::ControlText(main_, IDC_SETUP) == mode.setupText; }, kTimeoutMs));
    for (int line : {0, 1}) {  // the mode stays whichever panel is selected
      SCOPED_TRACE("mode " + std::to_string(mode.radio) + ", line " + std::to_string(line));
      driver::SelectListLineAndSettle(main_, kList, line);
      std::string enabled;
      for (int id : controls) enabled += driver::IsEnabled(main_, id) ? '1' : '0';
      EXPECT_EQ(enabled, mode.enabled);
    }
  }
}

// Selecting a panel focuses STOP when it runs, START otherwise; the trackbar shows the delay, and
// a move to 0 warns once a run, never while the panel runs. Hot-plug stops workers for a removal
// only.
TEST_F(Live, TheSelectedPanelSetsTheFocusAndTheTrackbarWarnsOnce) {
  ASSERT_TRUE(Run());
  ASSERT_TRUE(StartLiveMonitorOn(main_, 0, RECT{0, 0, 320, 240}));
  for (int line : {1, 0}) {  // idle, then running
    driver::SelectListLine(main_, kList, line);
    const HWND focused = driver::Control(main_, line == 0 ? kStop : kStart);
    EXPECT_TRUE(driver::WaitUntil([&] { return FocusedWindow(main_) == focused; }, kTimeoutMs));
    EXPECT_TRUE(ShowsRunning(main_, line == 0)) << "line " << line;
  }

  const struct { int position; const wchar_t* shown; bool warning; } moves[] = {
      {0, L"0", false} /* running */, {1, L"100", false}, {0, L"0", true}, {50, L"5000", false},
      {0, L"0", false}};
  for (const auto& move : moves) {
    SCOPED_TRACE("to " + std::to_string(move.position));
    driver::MoveTrackbar(main_, IDC_DELAY_TRACKBAR, move.position);
    if (move.warning) shelltest::ExpectBoxes(Pid(), {BoxOf(msg::kPerformanceWarning)});
    EXPECT_TRUE(shelltest::NoMessageBoxFor(Pid(), 500));
    EXPECT_TRUE(driver::WaitUntil(
        [&] { return driver::ControlText(main_, kDelayText) == move.shown; }, kTimeoutMs));
    if (driver::IsEnabled(main_, kStop)) driver::Click(main_, kStop);
    ASSERT_TRUE(ShowsRunning(main_, false));
  }

  // A panel plugged in leaves the running one at work; a removal stops every worker, silently.
  ASSERT_TRUE(StartLiveMonitorOn(main_, 0, RECT{0, 0, 320, 240}));
  for (const bool arrival : {true, false}) {
    SCOPED_TRACE(arrival ? "arrival" : "removal");
    ASSERT_TRUE(arrival ? Panels().AddPanel("EMU0003") : Panels().RemovePanel("EMU0003"));
    EXPECT_TRUE(driver::WaitUntil(
        [&] { return driver::ListCount(main_, kList) == (arrival ? 3 : 2); }, kTimeoutMs));
    driver::SelectListLineAndSettle(main_, kList, 0);
    EXPECT_TRUE(ShowsRunning(main_, arrival));
    if (arrival) {
      EXPECT_FALSE(NextFrame(Panels(), kPanel).empty());
    }
  }
  EXPECT_TRUE(shelltest::NoMessageBoxFor(Pid(), 200));
}

std::string Led(int light, int value) {
  return "SetLed page=1 index=" + std::to_string(light) + " value=" + std::to_string(value);
}
// All six lights set to each value in turn.
std::vector<std::string> AllLights(std::initializer_list<int> values) {
  std::vector<std::string> calls;
  for (int value : values) {
    for (int light = 1; light <= 6; ++light) calls.push_back(Led(light, value));
  }
  return calls;
}
// A pressed button's light blinks three times and ends as the light switch says.
std::vector<std::string> Blink(int light, bool lightsOn) {
  std::vector<std::string> calls;
  for (int i = 0; i < 3; ++i) calls.insert(calls.end(), {Led(light, 0), Led(light, 1)});
  if (!lightsOn) calls.push_back(Led(light, 0));
  return calls;
}

// What the panel's own controls do to a running live monitor, one input a row, in this order.
struct PanelInput {
  const char* what;
  enum { kClick, kStep, kChord, kPage } kind;
  uint32_t value;        // buttons, an encoder bit, or the page to show (0: another program's)
  const wchar_t* delay;  // what the main window then shows for the panel
  std::vector<std::string> lights;  // the SetLed calls it makes
  bool lit;                         // all six lights lit afterwards, else all dark
  int labels = -1;  // the next frame carries the labels (1), is bare (0); -1: not looked at
  uint32_t minGapMs = 0, maxGapMs = 0;  // the frames that follow come at least / at most this apart
};

TEST_F(Live, ARunFromStartThroughThePanelsInputsToStop) {
  ScreenPattern quadrants(kQuadrantsRect, [](int x, int y) { return Quadrants(480, 360, x, y); });
  ASSERT_TRUE(quadrants.Shown());
  ASSERT_TRUE(Run());
  ASSERT_TRUE(Panels().SetInactivePagesRefuse(true));
  ASSERT_TRUE(Panels().ClearLog());
  ASSERT_TRUE(StartLiveMonitorOn(main_, 0, kQuadrantsRect, 7));  // 700 ms from the main window
  // The lights are swept on about 300 ms apart before the frames come.
  ASSERT_FALSE(NextFrame(Panels(), kPanel, 3).empty());
  std::vector<uint32_t> sweep;
  for (const auto& call : Panels().Log(kPanel)) {
    if (call.name == "SetLed") sweep.push_back(call.tick);
  }
  ASSERT_EQ(sweep.size(), 6u);
  for (std::size_t i = 1; i < 6; ++i) {
    EXPECT_TRUE(sweep[i] - sweep[i - 1] >= 280 && sweep[i] - sweep[i - 1] < 1000) << i;
  }

  const PanelInput rows[] = {
      {"up above the buttons' range steps on", PanelInput::kStep, 0x08, L"800", {}, true},
      {"button 6: 500 ms", PanelInput::kClick, 0x400, L"500", Blink(6, true), true, -1, 490},
      {"up from 5 wraps to 0", PanelInput::kStep, 0x08, L"0", {}, true},
      {"the other encoder up", PanelInput::kStep, 0x02, L"100", {}, true},
      {"down", PanelInput::kStep, 0x10, L"0", {}, true},
      {"the other encoder down from 0 wraps to 5", PanelInput::kStep, 0x04, L"500", {}, true},
      {"button 1: live, no pause", PanelInput::kClick, 0x20, L"0", Blink(1, true), true, -1, 0,
       250},
      {"buttons 1 to 3 do nothing", PanelInput::kChord, 0xE0, L"0", {}, true, 1},
      {"a button with an encoder bit does nothing", PanelInput::kChord, 0x28, L"0", {}, true},
      {"buttons 1 and 2 take the labels away", PanelInput::kChord, 0x60, L"0", {}, true, 0},
      {"and bring them back", PanelInput::kChord, 0x60, L"0", {}, true, 1},
      {"buttons 3 and 4 switch the lights off", PanelInput::kChord, 0x180, L"0", AllLights({0}),
       false},
      {"a press then ends dark", PanelInput::kClick, 0x20, L"0", Blink(1, false), false},
      {"another program's page: refused frames come 100 ms apart", PanelInput::kPage, 0, L"0",
       AllLights({1, 0}), false, -1, 95},
  };
  const std::vector<uint8_t> hints = ProgramBitmap(IDB_HINTS_LIVE);
  ASSERT_EQ(hints.size(), 230400u);
  for (const PanelInput& row : rows) {
    SCOPED_TRACE(row.what);
    ASSERT_TRUE(Panels().ClearLog());
    ASSERT_TRUE(row.kind == PanelInput::kClick  ? Panels().Click(kPanel, row.value)
                : row.kind == PanelInput::kStep ? Panels().Step(kPanel, row.value)
                : row.kind == PanelInput::kPage ? Panels().SwitchPage(kPanel, row.value)
                                                : Panels().SendButtons(kPanel, row.value));
    EXPECT_TRUE(driver::CallsMatch(Calls(Panels(), "SetLed"), row.lights));
    const auto panel = Panels().Panel(kPanel);  // kept: the loop below reads into it
    ASSERT_TRUE(panel);
    for (bool led : panel->pages.at(0).leds) EXPECT_EQ(led, row.lit);
    driver::SelectListLineAndSettle(main_, kList, 0);  // shows the slot's settings again
    EXPECT_EQ(driver::ControlText(main_, kDelayText), row.delay);

    if (row.labels >= 0) {
      const auto frame = NextFrame(Panels(), kPanel, 2);
      ASSERT_EQ(frame.size(), 230400u);
      driver::SaveFramePng(row.labels ? L"live_monitor_labels" : L"live_monitor_bare", frame);
      // Away from the quadrant borders, where halftone blends, each quadrant shows its colour;
      // without the labels, so does the left edge.
      for (auto [x, y] : {std::pair{100, 40}, {240, 40}, {100, 200}, {240, 200}, {300, 100},
                          {20, 8}, {20, 100}, {20, 140}, {20, 230}}) {
        const uint32_t expected = Quadrants(320, 240, x, y);
        EXPECT_TRUE((x == 20 && row.labels) ||
                    driver::Near(feeds_test::FramePixel(frame, x, y), expected, 16))
            << "at " << x << "," << y;
      }
      if (row.labels) {
        EXPECT_TRUE(feeds_test::CarriesTheLabels(frame, hints.data()));
      }
    }
    if (row.minGapMs || row.maxGapMs) {
      // From now on; a pause begun before may still run, so the first gaps do not count.
      ASSERT_TRUE(Panels().ClearLog());
      std::vector<uint32_t> ticks;
      ASSERT_TRUE(driver::WaitUntil([&] {
        ticks.clear();
        for (const auto& call : Panels().Log(kPanel)) {
          if (feeds_test::DescribeCall(call) == kFrame) ticks.push_back(call.tick);
        }
        return ticks.size() >= 5;
      }, kTimeoutMs));
      for (std::size_t i = 2; i < ticks.size(); ++i) {
        EXPECT_GE(ticks[i] - ticks[i - 1], row.minGapMs) << "frame " << i;
        EXPECT_LE(ticks[i] - ticks[i - 1], row.maxGapMs ? row.maxGapMs : ~0u) << "frame " << i;
      }
    }
  }
  driver::Click(main_, kStop);
  ASSERT_TRUE(ShowsRunning(main_, false));
  const std::vector<std::string> calls = Calls(Panels());  // the page blanked, then removed
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(calls.end() - 2, calls.end()),
            (std::vector<std::string>{"SetImage page=1 index=0 len=0", "RemovePage page=1"}));
}

// A worker the panel refuses gives up, and the watcher gives START back without a word; a STOP
// that cannot end a stalled worker says so, and the slot follows once the worker ends. Neither
// leaves anything behind on the panel: START and STOP work after each.
TEST_F(Live, WorkersThatGiveUpOrStallFreeThePanelAgain) {
  ASSERT_TRUE(Run());
  ASSERT_TRUE(Panels().ClearLog());
  ASSERT_TRUE(Panels().Fault("AddPage", static_cast<int32_t>(0x80004005), false));
  ASSERT_TRUE(StartLiveMonitorOn(main_, 0, RECT{0, 0, 640, 480}));
  ASSERT_TRUE(ShowsRunning(main_, false));
  EXPECT_TRUE(shelltest::NoMessageBoxFor(Pid(), 200));
  EXPECT_EQ(Calls(Panels()), kStartCalls) << "nothing is shown on a panel that refused the page";

  driver::Click(main_, kStart);
  ASSERT_TRUE(ShowsRunning(main_, true));
  ASSERT_FALSE(NextFrame(Panels(), kPanel, 2).empty());
  // The send under way takes 8 s, longer than STOP waits; the next ones are quick again.
  ASSERT_TRUE(Panels().SetImageDelay(8000));
  ASSERT_TRUE(driver::WaitUntil([&] { return Panels().Panel(kPanel)->sendsUnderWay > 0; },
                                kTimeoutMs));
  ASSERT_TRUE(Panels().SetImageDelay(0));
  driver::Click(main_, kStop);
  shelltest::ExpectBoxes(Pid(), {BoxOf(msg::kThreadStopFailed)});
  EXPECT_TRUE(driver::IsEnabled(main_, kStop) && !driver::IsEnabled(main_, kStart))
      << "the buttons stay as they were";
  // The worker ends once its send returns, removing its page; the next display of the panel's
  // settings then offers START again.
  ASSERT_TRUE(driver::WaitUntil([&] { return Panels().Panel(kPanel)->pages.empty(); }, kTimeoutMs));
  EXPECT_EQ(Calls(Panels()).back(), "RemovePage page=1");
  driver::SelectListLine(main_, kList, 0);
  ASSERT_TRUE(ShowsRunning(main_, false));
  driver::Click(main_, kStart);
  ASSERT_TRUE(ShowsRunning(main_, true));
  EXPECT_FALSE(NextFrame(Panels(), kPanel, 3).empty());
  driver::Click(main_, kStop);
  EXPECT_TRUE(ShowsRunning(main_, false));
}

// The ways the program ends with panels running the live monitor, a run each: whichever, the
// library is deinitialised once, as the last call, before the process is gone, and only a forced
// worker is told.
TEST_F(Live, EveryEndDeinitialisesTheLibraryOnceAsTheLastCall) {
  run_.reset();  // a second copy would be refused
  const struct {
    const char* what;
    int panels;  // EMU0001..., each running the live monitor
    std::function<void(driver::PanelSession&)> end;
    std::optional<shelltest::ExpectedBox> box;  // the one message on the way
    DWORD exitCode;
    int pagesRemoved;  // RemovePage calls
  } ends[] = {
      {"the session's end", 3,
       [](auto& s) {
         DWORD_PTR answer = 0;
         ASSERT_TRUE(SendMessageTimeoutW(s.mainWindow, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG,
                                         5000, &answer));
         EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
         EXPECT_EQ(shelltest::CallCount(*s.program, "RemovePage"), 0) << "the query changed it";
         PostMessageW(s.mainWindow, WM_ENDSESSION, TRUE, 0);
       },
       {}, 0, 3},
      {"Exit while the panels hold their sends", 2,
       [](auto& s) {
         ASSERT_TRUE(s.panels->SetImageDelay(30000));
         ASSERT_TRUE(driver::WaitUntil([&] { return s.panels->Panel(kPanel)->sendsUnderWay; },
                                       kTimeoutMs));
         driver::Click(s.mainWindow, IDC_EXIT);
       },
       BoxOf(msg::kStopAllFailed), 0, 0},
      // The last chance stops every other worker, but never waits for the faulting thread.
      {"a fault in a worker's SetImage", 1,
       [](auto& s) { ASSERT_TRUE(s.panels->Crash("SetImage")); }, {}, EXCEPTION_ACCESS_VIOLATION,
       0},
  };
  // The system's debugger would hold a faulting process in its crash dialog (Wine starts one
  // even when none is named): with one named that cannot start, the process ends by itself, as
  // on a computer without a debugger.
  constexpr wchar_t kAeDebug[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";
  wchar_t debugger[1024] = {};
  DWORD size = sizeof debugger;
  const bool hadDebugger = RegGetValueW(HKEY_LOCAL_MACHINE, kAeDebug, L"Debugger", RRF_RT_REG_SZ,
                                        nullptr, debugger, &size) == ERROR_SUCCESS;
  const wchar_t none[] = L"C:\\no debugger here.exe %ld %ld";
  ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kAeDebug, L"Debugger", REG_SZ, none, sizeof none),
            ERROR_SUCCESS);
  for (const auto& c : ends) {
    SCOPED_TRACE(c.what);
    auto session = shelltest::StartWithPanelCount(c.panels);
    ASSERT_TRUE(session);
    driver::Program& program = *session->program;
    for (int line = 0; line < c.panels; ++line) {
      ASSERT_TRUE(StartLiveMonitorOn(session->mainWindow, line, RECT{0, 0, 320, 240}));
      ASSERT_FALSE(NextFrame(*session->panels, "EMU000" + std::to_string(line + 1)).empty());
    }
    c.end(*session);
    if (c.box) shelltest::ExpectBoxes(program.Id(), {*c.box});
    bool boxSeen = false;
    EXPECT_TRUE(driver::WaitUntil([&] {
      boxSeen = boxSeen || !driver::MessageBoxWindows(program.Id()).empty();
      return !program.Running();
    }, 10000));
    EXPECT_FALSE(boxSeen) << "a message box came up";
    EXPECT_EQ(program.WaitForExit(0), std::optional<DWORD>(c.exitCode));
    EXPECT_TRUE(shelltest::HasNoWindow(program.Id()));
    std::vector<std::string> names;  // from the log file: the control channel is gone
    for (const std::string& text : program.LogLines()) {
      if (auto line = emu::ParseLogLine(text)) names.push_back(line->name);
    }
    EXPECT_EQ(names.empty() ? "" : names.back(), "Deinitialize") << "calls after it";
    EXPECT_EQ(std::count(names.begin(), names.end(), "Deinitialize"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "RemovePage"), c.pagesRemoved);
  }
  (void)(hadDebugger
             ? RegSetKeyValueW(HKEY_LOCAL_MACHINE, kAeDebug, L"Debugger", REG_SZ, debugger, size)
             : RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kAeDebug, L"Debugger"));
}

}  // namespace
}  // namespace livetest
