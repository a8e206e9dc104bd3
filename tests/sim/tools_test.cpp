// The simulator tools through the main window, in one run of the program: START without the
// simulator, the FSX live view's rectangle, and the GPS gauge's pages, frames, lights and the
// events its buttons and encoders send through the client library, with the simulator and without.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/feeds/frame_checks.h"
#include "tests/live/live_test_support.h"
#include "tests/shell/shell_test_support.h"
#include "tests/sim/sim_test_support.h"

namespace simtest {
namespace {

using SimTools = ProgramRun;

const std::string kOk = "\t0x00000000";
const std::string kFrame1 = "SetImage page=1 index=0 len=230400";
constexpr uint32_t kStripes[4] = {0xE01030, 0x20C040, 0x3040D0, 0xF0F020};
constexpr const char* kButtonEvents[2][6] = {
    {"GPS_ZOOMOUT_BUTTON", "GPS_ZOOMIN_BUTTON", "GPS_MENU_BUTTON", "GPS_CLEAR_BUTTON",
     "GPS_ENTER_BUTTON", "GPS_CURSOR_BUTTON"},
    {"GPS_NEAREST_BUTTON", "GPS_MSG_BUTTON", "GPS_FLIGHTPLAN_BUTTON", "GPS_TERRAIN_BUTTON",
     "GPS_PROCEDURE_BUTTON", "GPS_CURSOR_BUTTON"}};

std::string Led(int page, int light, int value) {
  return "SetLed page=" + std::to_string(page) + " index=" + std::to_string(light) +
         " value=" + std::to_string(value);
}

// Lights 1 to 6 of each page in turn.
std::vector<std::string> All(std::vector<int> pages, int value) {
  std::vector<std::string> calls;
  for (int page : pages) {
    for (int light = 1; light <= 6; ++light) calls.push_back(Led(page, light, value));
  }
  return calls;
}

std::vector<std::string> Blink(int page, int light, bool endsDark) {
  std::vector<std::string> calls;
  for (int i = 0; i < 6; ++i) calls.push_back(Led(page, light, i % 2));
  if (endsDark) calls.push_back(Led(page, light, 0));
  return calls;
}

// The library calls of one connection that sends `events` (separated by spaces).
std::vector<std::string> Conversation(int connection, const std::string& events) {
  const std::string c = " connection=" + std::to_string(connection);
  std::vector<std::string> calls = {
      "Open name=\"SEND GPS EVENT\" window=0x0 message=0 event=0x0 config=0" + kOk + c};
  std::istringstream in(events);
  for (std::string event; in >> event;) {
    calls.push_back("MapClientEventToSimEvent" + c + " id=0 name=\"" + event + "\"" + kOk);
    calls.push_back("TransmitClientEvent" + c + " object=0 id=0 data=0 group=1 flags=0x10" + kOk);
  }
  calls.push_back("Close" + c + kOk);
  return calls;
}

TEST_F(SimTools, WithoutTheSimulatorEachToolGivesOneNoticeAndFreesTheSlot) {
  ASSERT_TRUE(Ready(false));
  for (const int mode : {IDC_MODE_GPS, IDC_MODE_LIVE_VIEW}) {
    SCOPED_TRACE(mode);
    const std::size_t before = Calls().size();
    // While the notice is open the tool counts as running.
    ASSERT_TRUE(driver::StartToolOn(Main(), 0, mode, {100, 100, 420, 340}));
    const auto box = driver::WaitForMessageBox(Pid(), kTimeoutMs);
    ASSERT_TRUE(box) << "no notice";
    EXPECT_EQ(box->title + L": " + box->text,
              L"Notice: Microsoft Flight Simulator X is not started. Please start the simulator "
              L"before making selection...");
    EXPECT_EQ(box->icon, driver::BoxIcon::Information);
    EXPECT_EQ(GetWindow(box->window, GW_OWNER), Main());
    driver::AnswerMessageBox(box->window, IDOK);
    ASSERT_TRUE(driver::WaitForWindowGone(box->window, kTimeoutMs));
    const DWORD closed = GetTickCount();
    ASSERT_TRUE(driver::WaitUntil(
        [] { return driver::IsEnabled(Main(), IDC_START) && !driver::IsEnabled(Main(), IDC_STOP); },
        5000));
    EXPECT_LE(GetTickCount() - closed, 1600u) << "the watcher looks once a second";
    EXPECT_TRUE(driver::CallsMatch(Calls(before), std::vector<std::string>{}));
    EXPECT_TRUE(shelltest::NoMessageBoxFor(Pid(), 300)) << "one notice only";
  }
}

TEST_F(SimTools, FsxLiveViewMovesALeftRectangleByTheScreenWidthAndOutlivesTheSimulator) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920) << "the rule is checked on a 1920-wide screen";
  ASSERT_TRUE(Ready(true));
  // Four stripes 200 pixels wide over x 920 to 1720, 80 frame columns each.
  livetest::ScreenPattern stripes({920, 720, 1720, 1020}, [](int x, int) { return kStripes[x / 200]; });
  ASSERT_TRUE(stripes.Shown());
  for (const RECT typed : {RECT{-1000, 720, -200, 1020}, RECT{920, 720, 1720, 1020}}) {
    SCOPED_TRACE(typed.left);
    ASSERT_TRUE(driver::StartToolOn(Main(), 0, IDC_MODE_LIVE_VIEW, typed));
    ASSERT_TRUE(WaitForFrames(1, 3));
    const std::vector<uint8_t> frame = Panel().Image(kSerial, 1);
    ASSERT_EQ(frame.size(), emu::kFrameBytes);
    int mismatches = 0;
    for (int x = 50; x < 320; x += x % 80 == 73 ? 57 : 1) {  // the middle of each, right of the labels
      for (int y = 5; y < 235; y += 10) {
        mismatches += !driver::Near(feeds_test::FramePixel(frame, x, y), kStripes[x / 80], 12);
      }
    }
    EXPECT_EQ(mismatches, 0) << driver::SaveFramePng(L"sim_live_view", frame);
    if (typed.left > 0) {
      ASSERT_TRUE(Ready(false));
      EXPECT_TRUE(WaitForFrames(1, 5)) << "frames stopped with the simulator";
    }
    ASSERT_TRUE(PressStop());
  }
}

TEST_F(SimTools, GaugeRunsOnTwoPagesAndStartsOnThePageTheLastOneLeft) {
  ASSERT_TRUE(Ready(true));
  const std::size_t before = Calls().size();
  ASSERT_TRUE(driver::StartToolOn(Main(), 0, IDC_MODE_GPS, Sim().ScreenRect()));
  ASSERT_TRUE(WaitForFrames(1, 3));
  EXPECT_EQ(ImageCount(2), 0u) << "page 2 is sent nothing before its first frame";
  ASSERT_TRUE(PressStop());
  std::vector<driver::ExpectedCall> expected = {"RegisterPageCallback", "RegisterSoftButtonCallback",
                                                "AddPage page=1 flags=1", "AddPage page=2 flags=0",
                                                kFrame1 /* the splash */};
  for (int light = 1; light <= 6; ++light) {
    for (int page = 1; page <= 2; ++page) expected.push_back(Led(page, light, 1));
  }
  expected.insert(expected.end(), {driver::OneOrMore(kFrame1), "SetImage page=1 index=0 len=0",
                                   "SetImage page=2 index=0 len=0", "RemovePage page=1",
                                   "RemovePage page=2"});
  std::vector<std::string> calls = Calls(before);
  for (std::string& call : calls) {
    if (call.rfind("Register", 0) == 0) call = call.substr(0, call.find(' '));
  }
  EXPECT_TRUE(driver::CallsMatch(calls, expected));

  // Left on page 2, the next gauge starts there; page 1, the active one, gets the splash only.
  ASSERT_TRUE(driver::StartToolOn(Main(), 0, IDC_MODE_GPS, Sim().ScreenRect()));
  ASSERT_TRUE(WaitForFrames(1, 2));
  ASSERT_TRUE(Panel().NotifyPage(kSerial, 2, true));
  ASSERT_TRUE(WaitForFrames(2, 2));
  ASSERT_TRUE(PressStop());
  ASSERT_TRUE(driver::StartToolOn(Main(), 0, IDC_MODE_GPS, Sim().ScreenRect()));
  ASSERT_TRUE(WaitForFrames(2, 3));
  EXPECT_EQ(Panel().Panel(kSerial)->activePage, 1);
  EXPECT_EQ(ImageCount(1), 1u) << "page 1: the splash and nothing after it";
  EXPECT_TRUE(CarriesLabels(Panel().Image(kSerial, 2), HintPixels(IDB_HINTS_GPS_PAGE2)));
  ASSERT_TRUE(Panel().NotifyPage(kSerial, 1, true));
  ASSERT_TRUE(PressStop());
}

// What the panel does to a running gauge: a report of its buttons, or a page notification.
struct Row {
  std::string what;
  bool notify;         // a page notification for page `value` (else a report of `value`)
  uint32_t value;
  const char* events;  // sent on one connection; nullptr: no connection at all
  std::vector<std::string> lights;
  uint32_t framesOn = 0;  // where the frames go after it (0: not looked at), and with labels
  bool labels = true;
};

TEST_F(SimTools, GaugeAnswersThePanelsButtonsEncodersAndPages) {
  ASSERT_TRUE(Ready(true));
  std::vector<Row> rows = {{"page 3 left", true, 3, nullptr, {}, 1},
                           {"page 3 shown", true, 3 | 0x100, nullptr, {}, 1}};
  for (int page = 1; page <= 2; ++page) {
    for (int b = 1; b <= 6; ++b) {
      rows.push_back({"button " + std::to_string(b) + " on page " + std::to_string(page), false,
                      0x20u << (b - 1), kButtonEvents[page - 1][b - 1], Blink(page, b, false)});
    }
    rows.push_back({"page " + std::to_string(3 - page) + " shown", true, (3u - page) | 0x100,
                    nullptr, All({3 - page}, 1), 3u - page});
  }
  const std::pair<uint32_t, const char*> knobs[] = {
      {0x08, "GPS_PAGE_KNOB_INC"}, {0x10, "GPS_PAGE_KNOB_DEC"}, {0x02, "GPS_GROUP_KNOB_INC"},
      {0x04, "GPS_GROUP_KNOB_DEC"}, {0x18, "GPS_PAGE_KNOB_INC"}, {0x06, "GPS_GROUP_KNOB_INC"},
      {0x14, "GPS_PAGE_KNOB_DEC GPS_GROUP_KNOB_DEC"},
      {0x28, "GPS_PAGE_KNOB_INC"},  // a button with a step is no button press
      {0xA0, ""}, {0x00, ""}};      // two buttons, or none: a connection that sends nothing
  for (const auto& [value, events] : knobs) rows.push_back({"knobs", false, value, events, {}});
  const std::vector<Row> chords = {
      {"lights chord", false, 0x180, nullptr, All({1, 2}, 0)},
      {"a press with the lights off", false, 0x200, "GPS_ENTER_BUTTON", Blink(1, 5, true)},
      {"lights chord again", false, 0x180, nullptr, All({1, 2}, 1)},
      {"hints chord", false, 0x60, nullptr, {}, 1, false},
      {"hints chord again", false, 0x60, nullptr, {}, 1},
      // Without the simulator: the chords alone.
      {"no simulator: lights chord", false, 0x180, nullptr, All({1, 2}, 0)},
      {"no simulator: hints chord", false, 0x60, nullptr, {}, 1, false},
      {"no simulator: button", false, 0x40, nullptr, {}},
      {"no simulator: knob", false, 0x08, nullptr, {}},
      {"no simulator: two buttons", false, 0xA0, nullptr, {}},
      {"no simulator: nothing held", false, 0x00, nullptr, {}},
      {"no simulator: page 2", true, 2 | 0x100, nullptr, {}, 1, false},
      {"no simulator: hints chord again", false, 0x60, nullptr, {}, 1}};
  rows.insert(rows.end(), chords.begin(), chords.end());

  ASSERT_TRUE(driver::StartToolOn(Main(), 0, IDC_MODE_GPS, Sim().ScreenRect()));
  ASSERT_TRUE(WaitForFrames(1, 2));  // past the sweep
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    if (row.what.rfind("no simulator", 0) == 0) {
      ASSERT_TRUE(Ready(false));
    }
    const Effect effect = Observe([&] {
      EXPECT_TRUE(row.notify ? Panel().NotifyPage(kSerial, row.value & 0xFF, row.value & 0x100)
                             : Panel().SendButtons(kSerial, row.value));  // once handled
    });
    EXPECT_TRUE(driver::CallsMatch(Texts(effect.library),
                                   row.events ? Conversation(effect.connection, row.events)
                                              : std::vector<std::string>{}));
    EXPECT_TRUE(driver::CallsMatch(effect.calls, row.lights));
    if (row.events && !row.lights.empty() && !effect.library.empty()) {
      EXPECT_GE(effect.library.back().tick - effect.library.front().tick, 280u)
          << "the connection closed before the blink";
    }
    if (!row.framesOn) continue;
    const uint32_t other = 3 - row.framesOn;
    ASSERT_TRUE(WaitForFrames(row.framesOn, 2));
    const uint32_t otherFrames = ImageCount(other);
    ASSERT_TRUE(WaitForFrames(row.framesOn, 2));
    EXPECT_EQ(ImageCount(other), otherFrames) << "page " << other << " still gets frames";
    const std::vector<uint8_t> frame = Panel().Image(kSerial, row.framesOn);
    const int hints = row.framesOn == 1 ? IDB_HINTS_GPS_PAGE1 : IDB_HINTS_GPS_PAGE2;
    EXPECT_EQ(static_cast<bool>(CarriesLabels(frame, HintPixels(hints))), row.labels)
        << driver::SaveFramePng(L"sim_gauge_frame", frame);
  }
  EXPECT_TRUE(PressStop());
}

}  // namespace
}  // namespace simtest
