// The simulator tools through the main window, in one run of the program: START without the
// simulator, the FSX live view's rectangle, and the GPS gauge's pages, frames, lights and the
// events its buttons and encoders send through the client library, with the simulator and without.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "tests/sim/sim_test_support.h"

namespace simtest {
namespace {

using SimTools = ProgramRun;

const std::string kOk = "\t0x00000000", kFrame1 = "SetImage page=1 index=0 len=230400";
constexpr uint32_t kStripes[4] = {0xE01030, 0x20C040, 0x3040D0, 0xF0F020};

std::string Led(int page, int light, int value) {
  return "SetLed page=" + std::to_string(page) + " index=" + std::to_string(light) +
         " value=" + std::to_string(value);
}
Lines All(std::vector<int> pages, int value) {  // lights 1 to 6 of each page in turn
  Lines calls;
  for (int page : pages) {
    for (int light = 1; light <= 6; ++light) calls.push_back(Led(page, light, value));
  }
  return calls;
}
Lines Blink(int page, int light, bool endsDark = false) {
  Lines calls;
  for (int i = 0; i < 6 + endsDark; ++i) calls.push_back(Led(page, light, i % 2 && i < 6));
  return calls;
}
// The library calls of connection `c` that sends `events` (separated by spaces).
Lines Conversation(int connection, const std::string& events) {
  const std::string c = " connection=" + std::to_string(connection);
  Lines calls = {"Open name=\"SEND GPS EVENT\" window=0x0 message=0 event=0x0 config=0" + kOk + c};
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
    ASSERT_TRUE(Panel().ClearLog());
    ASSERT_TRUE(driver::StartToolOn(Main(), 0, mode, {100, 100, 420, 340}));
    const auto box = driver::WaitForMessageBox(Pid(), kTimeoutMs);
    ASSERT_TRUE(box) << "no notice";
    EXPECT_EQ(GetWindow(box->window, GW_OWNER), Main());
    shelltest::ExpectBoxes(Pid(), {Box(panelcast::msg::kSimulatorNotStarted)});
    const DWORD answered = GetTickCount();
    ASSERT_TRUE(Running(false));
    EXPECT_LE(GetTickCount() - answered, 1600u) << "the watcher looks once a second";
    EXPECT_TRUE(driver::CallsMatch(Calls(), Lines{}));
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
    for (int x = 60; x < 320; x += 40) {  // 20 columns inside a stripe, right of the labels
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

TEST_F(SimTools, GaugeRunsOnTwoPagesAndAnswersThePanelsButtonsEncodersAndPages) {
  ASSERT_TRUE(Ready(true));
  ASSERT_TRUE(Panel().ClearLog());
  ASSERT_TRUE(driver::StartToolOn(Main(), 0, IDC_MODE_GPS, Sim().ScreenRect()));
  ASSERT_TRUE(WaitForFrames(1, 3));
  EXPECT_EQ(ImageCount(2), 0u) << "page 2 is sent nothing before its first frame";
  ASSERT_TRUE(PressStop());
  std::vector<driver::ExpectedCall> expected = {
      "RegisterPageCallback ctx=\"Zivovi Panelcast\"",
      "RegisterSoftButtonCallback ctx=\"Zivovi Panelcast\"", "AddPage page=1 flags=1",
      "AddPage page=2 flags=0", kFrame1 /* the splash */};
  for (int light = 1; light <= 6; ++light) {
    for (int page = 1; page <= 2; ++page) expected.push_back(Led(page, light, 1));
  }
  expected.insert(expected.end(), {driver::OneOrMore(kFrame1), "SetImage page=1 index=0 len=0",
                                   "SetImage page=2 index=0 len=0", "RemovePage page=1",
                                   "RemovePage page=2"});
  EXPECT_TRUE(driver::CallsMatch(Calls(), expected));

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
  EXPECT_TRUE(feeds_test::CarriesTheLabels(Panel().Image(kSerial, 2),
                                           livetest::ProgramBitmap(IDB_HINTS_GPS_PAGE2).data()));
  ASSERT_TRUE(Panel().NotifyPage(kSerial, 1, true));

  // What the panel does to the running gauge: a report of its buttons, or (kPage) a notification
  // for a page shown; the events sent on one connection (nullptr: none opened), the lights, and
  // the page the frames go to after it (0: not looked at), with or without the labels. Which
  // value means which event is the decoder's table, checked on its own.
  constexpr uint32_t kPage = 0x1000;
  const struct {
    uint32_t value;
    const char* events;
    Lines lights;
    uint32_t framesOn;
    bool labels;
  } rows[] = {{kPage | 3, nullptr, {}, 1, true},  // not a page of the program
              {0x80, "GPS_MENU_BUTTON", Blink(1, 3), 0, true},
              {kPage | 2, nullptr, All({2}, 1), 2, true},
              {0x20, "GPS_NEAREST_BUTTON", Blink(2, 1), 0, true},
              {kPage | 1, nullptr, All({1}, 1), 1, true},
              {0x18, "GPS_PAGE_KNOB_INC", {}, 0, true},  // a step up wins over a step down
              {0x14, "GPS_PAGE_KNOB_DEC GPS_GROUP_KNOB_DEC", {}, 0, true},
              {0xA0, "", {}, 0, true},  // two buttons: a connection that sends nothing
              {0x180, nullptr, All({1, 2}, 0), 0, true},  // the lights' chord
              {0x200, "GPS_ENTER_BUTTON", Blink(1, 5, true), 0, true},
              {0x180, nullptr, All({1, 2}, 1), 0, true},
              {0x60, nullptr, {}, 1, false},  // the labels' chord
              {0x60, nullptr, {}, 1, true},
              // The simulator gone: the chords alone.
              {0, nullptr, {}, 0, true},
              {0x180, nullptr, All({1, 2}, 0), 0, true},
              {0x60, nullptr, {}, 1, false},
              {0x40, nullptr, {}, 0, true},
              {0x08, nullptr, {}, 0, true},
              {kPage | 2, nullptr, {}, 1, false},
              {0x60, nullptr, {}, 1, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.value);
    if (row.value == 0) {
      ASSERT_TRUE(Ready(false));
    }
    const Lines before = LibraryLog();
    ASSERT_TRUE(Panel().ClearLog());
    EXPECT_TRUE(row.value & kPage ? Panel().NotifyPage(kSerial, row.value & 0xFF, true)
                                  : Panel().SendButtons(kSerial, row.value));  // once handled
    Lines library = LibraryLog(), lights = Calls();
    library.erase(library.begin(), library.begin() + before.size());
    const int connection = 1 + std::count_if(before.begin(), before.end(), [](auto& line) {
                             return line.rfind("Open", 0) == 0;
                           });
    EXPECT_TRUE(driver::CallsMatch(
        library, row.events ? Conversation(connection, row.events) : Lines{}));
    lights.erase(std::remove_if(lights.begin(), lights.end(),  // frames go on meanwhile
                                [](auto& call) { return call.rfind("SetImage", 0) == 0; }),
                 lights.end());
    EXPECT_TRUE(driver::CallsMatch(lights, row.lights));
    if (!row.framesOn) continue;
    const uint32_t other = 3 - row.framesOn;
    ASSERT_TRUE(WaitForFrames(row.framesOn, 2));
    const uint32_t otherFrames = ImageCount(other);
    ASSERT_TRUE(WaitForFrames(row.framesOn, 2));
    EXPECT_EQ(ImageCount(other), otherFrames) << "page " << other << " still gets frames";
    const std::vector<uint8_t> frame = Panel().Image(kSerial, row.framesOn);
    const int hints = row.framesOn == 1 ? IDB_HINTS_GPS_PAGE1 : IDB_HINTS_GPS_PAGE2;
    EXPECT_EQ(bool(feeds_test::CarriesTheLabels(frame, livetest::ProgramBitmap(hints).data())),
              row.labels)
        << driver::SaveFramePng(L"sim_gauge_frame", frame);
  }
  EXPECT_TRUE(PressStop());
}

}  // namespace
}  // namespace simtest
