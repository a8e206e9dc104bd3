// The GPS gauge's buttons and encoders end to end: each press reaches the client library as one
// connection with exact arguments, closed only after the button's light has blinked; chords work
// without the simulator, everything else needs it.
#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "tests/sim/sim_test_support.h"

namespace simtest {
namespace {

const std::string kOk = "\t0x00000000";
const std::string kOpen =
    "Open name=\"SEND GPS EVENT\" window=0x0 message=0 event=0x0 config=0" + kOk + " connection=";

// The library calls of one connection that sends `events`.
std::vector<std::string> Conversation(int connection, const std::vector<std::string>& events) {
  const std::string c = std::to_string(connection);
  std::vector<std::string> calls = {kOpen + c};
  for (const std::string& event : events) {
    calls.push_back("MapClientEventToSimEvent connection=" + c + " id=0 name=\"" + event + "\"" +
                    kOk);
    calls.push_back("TransmitClientEvent connection=" + c +
                    " object=0 id=0 data=0 group=1 flags=0x10" + kOk);
  }
  calls.push_back("Close connection=" + c + kOk);
  return calls;
}

std::vector<std::string> Blink(int page, int light) {
  std::vector<std::string> calls;
  const std::string prefix = "SetLed page=" + std::to_string(page) + " index=" + std::to_string(light);
  for (int i = 0; i < 3; ++i) {
    calls.push_back(prefix + " value=0");
    calls.push_back(prefix + " value=1");
  }
  return calls;
}

class GpsButtons : public SimulatorAndProgram {
 protected:
  void SetUp() override {
    SimulatorAndProgram::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(StartTool(*session_, kModeGps, simulator_->ScreenRect()));
    ASSERT_TRUE(WaitForFrames(Control(), 1, 2));  // past the sweep
  }

  // One raw report of `value`; what the library and the panel were asked meanwhile.
  struct Effect {
    std::vector<LogLine> library;
    std::vector<std::string> panel;
  };
  Effect Send(uint32_t value) {
    const std::size_t libraryBefore = session_->LibraryLog().size();
    const std::size_t panelBefore = PanelCallCount(Control());
    EXPECT_TRUE(Control().SendButtons(kSerial, value));  // returns once the handler has
    Effect effect;
    std::vector<LogLine> library = session_->LibraryLog();
    effect.library.assign(library.begin() + static_cast<long>(libraryBefore), library.end());
    for (const std::string& call : PanelCalls(Control(), panelBefore)) {
      if (call.rfind("SetImage", 0) != 0) effect.panel.push_back(call);  // frames go on meanwhile
    }
    return effect;
  }

  int NextConnection() { return ++connections_; }

  int connections_ = 0;
};

TEST_F(GpsButtons, EveryButtonOnBothPagesSendsItsEventOnOneConnectionClosedAfterTheBlink) {
  const std::vector<std::vector<std::string>> events = {
      {"GPS_ZOOMOUT_BUTTON", "GPS_ZOOMIN_BUTTON", "GPS_MENU_BUTTON", "GPS_CLEAR_BUTTON",
       "GPS_ENTER_BUTTON", "GPS_CURSOR_BUTTON"},
      {"GPS_NEAREST_BUTTON", "GPS_MSG_BUTTON", "GPS_FLIGHTPLAN_BUTTON", "GPS_TERRAIN_BUTTON",
       "GPS_PROCEDURE_BUTTON", "GPS_CURSOR_BUTTON"}};
  for (int page = 1; page <= 2; ++page) {
    if (page == 2) {
      ASSERT_TRUE(Control().SwitchPage(kSerial, 2));
      ASSERT_TRUE(WaitForFrames(Control(), 2, 1));
    }
    for (int button = 1; button <= 6; ++button) {
      SCOPED_TRACE("page " + std::to_string(page) + ", button " + std::to_string(button));
      const Effect effect = Send(0x20u << (button - 1));
      EXPECT_EQ(Texts(effect.library),
                Conversation(NextConnection(), {events[page - 1][button - 1]}));
      EXPECT_EQ(effect.panel, Blink(page, button)) << "the light blinks on the page shown";
      ASSERT_EQ(effect.library.size(), 4u);
      // The close waits for the blink: three times 50 ms dark and 50 ms lit.
      EXPECT_GE(effect.library[3].tick - effect.library[0].tick, 280u);
    }
  }
}

TEST_F(GpsButtons, EncodersSendKnobEventsPageKnobFirstStepUpWinning) {
  const std::pair<uint32_t, std::vector<std::string>> cases[] = {
      {0x08, {"GPS_PAGE_KNOB_INC"}},
      {0x10, {"GPS_PAGE_KNOB_DEC"}},
      {0x02, {"GPS_GROUP_KNOB_INC"}},
      {0x04, {"GPS_GROUP_KNOB_DEC"}},
      {0x18, {"GPS_PAGE_KNOB_INC"}},
      {0x06, {"GPS_GROUP_KNOB_INC"}},
      {0x14, {"GPS_PAGE_KNOB_DEC", "GPS_GROUP_KNOB_DEC"}},
      {0x28, {"GPS_PAGE_KNOB_INC"}},  // a button with a step is no button press
      {0xA0, {}},                     // two buttons: a connection, nothing sent
      {0x00, {}},
  };
  for (const auto& [value, events] : cases) {
    SCOPED_TRACE("value " + std::to_string(value));
    const Effect effect = Send(value);
    EXPECT_EQ(Texts(effect.library), Conversation(NextConnection(), events));
    EXPECT_EQ(effect.panel, std::vector<std::string>{}) << "no light changes";
  }
  const std::vector<std::string> simulatorLog = Texts(simulator_->Log());
  EXPECT_NE(std::find(simulatorLog.begin(), simulatorLog.end(), "event GPS_GROUP_KNOB_DEC"),
            simulatorLog.end());
}

TEST_F(GpsButtons, ChordsWorkWithoutTheSimulatorAndNothingElseDoes) {
  simulator_->Stop();
  const std::vector<uint8_t> labels = HintPixels(IDB_HINTS_GPS_PAGE1);

  Effect effect = Send(0x180);
  std::vector<std::string> dark;
  for (int page = 1; page <= 2; ++page) {
    for (int light = 1; light <= 6; ++light) {
      dark.push_back("SetLed page=" + std::to_string(page) + " index=" + std::to_string(light) +
                     " value=0");
    }
  }
  EXPECT_EQ(effect.panel, dark) << "lights 1 to 6 of page 1, then of page 2";
  EXPECT_TRUE(effect.library.empty());

  effect = Send(0x60);
  EXPECT_TRUE(effect.panel.empty());
  ASSERT_TRUE(WaitForFrames(Control(), 1, 2));
  EXPECT_FALSE(CarriesLabels(Control().Image(kSerial, 1), labels)) << "labels still shown";

  // With the lights off a press would end dark; without the simulator it does nothing at all.
  for (uint32_t value : {0x40u, 0x08u, 0xA0u, 0u}) {
    effect = Send(value);
    EXPECT_TRUE(effect.library.empty()) << "value " << value << " reached the library";
    EXPECT_TRUE(effect.panel.empty()) << "value " << value << " changed a light";
  }
  // A page notification is ignored too: the frames stay on page 1, no light is set.
  const std::size_t before = PanelCallCount(Control());
  ASSERT_TRUE(Control().SwitchPage(kSerial, 2));
  ASSERT_TRUE(WaitForFrames(Control(), 1, 2));
  EXPECT_EQ(ImageCount(Control(), 2), 0u);
  for (const std::string& call : PanelCalls(Control(), before)) {
    EXPECT_EQ(call.rfind("SetLed", 0), std::string::npos) << call;
  }

  effect = Send(0x60);
  ASSERT_TRUE(WaitForFrames(Control(), 1, 2));
  EXPECT_TRUE(CarriesLabels(Control().Image(kSerial, 1), labels)) << "labels not back";
}

TEST_F(GpsButtons, WithTheLightsOffAPressedButtonEndsDark) {
  ASSERT_TRUE(Send(0x180).panel.size() == 12u);
  const Effect effect = Send(0x200);
  std::vector<std::string> blink = Blink(1, 5);
  blink.push_back("SetLed page=1 index=5 value=0");
  EXPECT_EQ(effect.panel, blink);
  EXPECT_EQ(Texts(effect.library), Conversation(NextConnection(), {"GPS_ENTER_BUTTON"}));
}

}  // namespace
}  // namespace simtest
