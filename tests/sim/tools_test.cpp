// The simulator tools through the main window of one run: START without the simulator, the FSX
// live view's rectangle, and the GPS gauge's pages, frames, lights and events, with the simulator
// and without.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "tests/sim/sim_test_support.h"

namespace simtest {
namespace {

using SimTools = ProgramRun;

const std::string kOk = "\t0x00000000";
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
    shelltest::ExpectBoxes(Pid(), {BoxOf(panelcast::msg::kSimulatorNotStarted)});
    ASSERT_TRUE(Running(false));
    EXPECT_TRUE(driver::CallsMatch(Calls(), Lines{}));
    EXPECT_TRUE(shelltest::NoMessageBoxFor(Pid(), 300)) << "one notice only";
  }
}

TEST_F(SimTools, FsxLiveViewMovesALeftRectangleByTheScreenWidth) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920) << "the rule is checked on a 1920-wide screen";
  ASSERT_TRUE(Ready(true));
  // Four stripes 200 pixels wide over x 920 to 1720, 80 frame columns each.
  livetest::ScreenPattern stripes({920, 720, 1720, 1020},
                                  [](int x, int) { return kStripes[x / 200]; });
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
    ASSERT_TRUE(PressStop());
  }
}

TEST_F(SimTools, GaugeRunsOnTwoPagesAndAnswersThePanelsButtonsEncodersAndPages) {
  ASSERT_TRUE(Ready(true));
  ASSERT_TRUE(driver::StartToolOn(Main(), 0, IDC_MODE_GPS, Sim().ScreenRect()));
  ASSERT_TRUE(WaitForFrames(1, 3));
  EXPECT_EQ(ImageCount(2), 0u) << "page 2 is sent nothing before its first frame";
  // Left on page 2, the next gauge starts there; page 1, the active one, gets the splash only.
  ASSERT_TRUE(Panel().NotifyPage(kSerial, 2, true));
  ASSERT_TRUE(WaitForFrames(2, 2));
  ASSERT_TRUE(PressStop());
  EXPECT_TRUE(Panel().Panel(kSerial)->pages.empty()) << "a page left after STOP";
  ASSERT_TRUE(driver::StartToolOn(Main(), 0, IDC_MODE_GPS, Sim().ScreenRect()));
  ASSERT_TRUE(WaitForFrames(2, 3));
  EXPECT_EQ(Panel().Panel(kSerial)->activePage, 1);
  EXPECT_EQ(ImageCount(1), 1u) << "page 1: the splash and nothing after it";
  ASSERT_TRUE(Panel().NotifyPage(kSerial, 1, true));

  // A report of the panel's buttons, or (kPage) a page shown; the events sent on one connection
  // (nullptr: none opened), the lights, and the page the frames go to then (0: not looked at).
  // Which value means which event is the decoder's own table.
  constexpr uint32_t kPage = 0x1000;
  const struct {
    uint32_t value;
    const char* events = nullptr;
    Lines lights = {};
    int framesOn = 0;  // negative: on that page, without the labels
  } rows[] = {
      {kPage | 3, nullptr, {}, 1} /* not the program's */, {0x80, "GPS_MENU_BUTTON", Blink(1, 3)},
      {kPage | 2, nullptr, All({2}, 1), 2}, {0x20, "GPS_NEAREST_BUTTON", Blink(2, 1)},
      {kPage | 1, nullptr, All({1}, 1), 1}, {0x18, "GPS_PAGE_KNOB_INC"} /* up wins over down */,
      {0x14, "GPS_PAGE_KNOB_DEC GPS_GROUP_KNOB_DEC"}, {0xA0, ""} /* two buttons: no event */,
      {0x180, nullptr, All({1, 2}, 0)} /* the lights' chord */,
      {0x200, "GPS_ENTER_BUTTON", Blink(1, 5, true)}, {0x180, nullptr, All({1, 2}, 1)},
      {0x60, nullptr, {}, -1} /* the labels' chord */, {0x60, nullptr, {}, 1},
      // The simulator gone (value 0): the chords alone.
      {0}, {0x180, nullptr, All({1, 2}, 0)}, {0x60, nullptr, {}, -1}, {0x40}, {0x08},
      {kPage | 2, nullptr, {}, -1}, {0x60, nullptr, {}, 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.value);
    if (row.value == 0) {
      ASSERT_TRUE(Ready(false));
    }
    const Lines before = LibraryLog();
    ASSERT_TRUE(Panel().ClearLog());
    EXPECT_TRUE(row.value & kPage ? Panel().NotifyPage(kSerial, row.value & 0xFF, true)
                                  : Panel().SendButtons(kSerial, row.value));  // once handled
    Lines library = LibraryLog(), lights;
    library.erase(library.begin(), library.begin() + before.size());
    const int connection = 1 + std::count_if(before.begin(), before.end(),
                                             [](auto& line) { return line.rfind("Open", 0) == 0; });
    EXPECT_TRUE(
        driver::CallsMatch(library, row.events ? Conversation(connection, row.events) : Lines{}));
    for (const std::string& call : Calls()) {
      if (call.rfind("SetImage", 0) != 0) lights.push_back(call);  // frames go on meanwhile
    }
    EXPECT_TRUE(driver::CallsMatch(lights, row.lights));
    if (!row.framesOn) continue;
    const uint32_t page = std::abs(row.framesOn), other = 3 - page;
    ASSERT_TRUE(WaitForFrames(page, 2));
    const uint32_t otherFrames = ImageCount(other);
    ASSERT_TRUE(WaitForFrames(page, 2));
    EXPECT_EQ(ImageCount(other), otherFrames) << "page " << other << " still gets frames";
    const std::vector<uint8_t> frame = Panel().Image(kSerial, page);
    const int hints = page == 1 ? IDB_HINTS_GPS_PAGE1 : IDB_HINTS_GPS_PAGE2;
    EXPECT_EQ(bool(feeds_test::CarriesTheLabels(frame, livetest::ProgramBitmap(hints).data())),
              row.framesOn > 0)
        << driver::SaveFramePng(L"sim_gauge_frame", frame);
  }
  EXPECT_TRUE(PressStop());
}

}  // namespace
}  // namespace simtest
