// Runs of the program as a user sees them: the panel list at start, panels arriving and leaving,
// a second copy refused, the about box, and the ways out (Esc answered No then Yes, the close box,
// Exit), each ending with exit code 0 after the library was deinitialised once.
#include <gtest/gtest.h>

#include "panelcast_version.h"
#include "resources/resource_ids.h"
#include "tests/live/live_test_support.h"

namespace shelltest {
namespace {

using livetest::BoxOf;
namespace msg = panelcast::msg;

ExpectedBox ExitQuestion(int answer) {
  return {L"Exit", L"Are you sure you want to exit?", driver::BoxIcon::Question, answer};
}

// What is usable without panels: none of the settings.
const int kGreyedWithoutPanels[] = {
    IDC_START, IDC_STOP, IDC_SETUP,  IDC_FORMAT_JPG,     IDC_FORMAT_BMP, IDC_LEFT,
    IDC_RIGHT, IDC_TOP,  IDC_BOTTOM, IDC_DELAY_TRACKBAR, IDC_DELAY_TEXT, IDC_SHOW_HINTS};
const int kAlwaysEnabled[] = {
    IDC_MODE_CUSTOMIZE, IDC_MODE_GPS, IDC_MODE_LIVE_VIEW, IDC_MODE_STATIC, IDC_MODE_LIVE_MONITOR,
    IDC_DEVICE_LIST,    IDC_REFRESH,  IDC_ABOUT,          IDC_EXIT};

// The list shows `lines` generic lines, the first highlighted, and the controls follow.
void ExpectList(HWND main, std::size_t lines) {
  EXPECT_TRUE(driver::WaitUntil([&] { return ListLines(main).size() == lines; }, kTimeoutMs));
  for (const auto& line : ListLines(main)) EXPECT_EQ(line, L"Generic FIP Device");
  const int first = lines ? 0 : LB_ERR;
  EXPECT_TRUE(driver::WaitUntil(
      [&] { return driver::ListSelection(main, IDC_DEVICE_LIST) == first; }, kTimeoutMs));
  if (lines == 0) {
    // The default rule greys them once a message reaches it.
    EXPECT_TRUE(driver::WaitUntil([&] { return !driver::IsEnabled(main, IDC_SETUP); }, kTimeoutMs));
    for (int id : kGreyedWithoutPanels) EXPECT_FALSE(driver::IsEnabled(main, id)) << id;
    for (int id : kAlwaysEnabled) EXPECT_TRUE(driver::IsEnabled(main, id)) << id;
  } else {
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::IsEnabled(main, IDC_START); }, kTimeoutMs));
    EXPECT_FALSE(driver::IsEnabled(main, IDC_STOP));
  }
}

struct Lifetime {
  std::wstring panels;  // connected at start
  std::size_t lines;
  bool closeBox;  // else Esc, answered No, then Yes
};

const Lifetime kLifetimes[] = {{L"", 0, false}, {SerialList(31), 30, true}};

class PanelCounts : public Shell, public ::testing::WithParamInterface<Lifetime> {};

TEST_P(PanelCounts, OneLinePerPanelUpToThirty) {
  const Lifetime& run = GetParam();
  ASSERT_TRUE(Start(run.panels, !run.panels.empty()));
  EXPECT_TRUE(NoMessageBoxFor(Pid(), 300));
  ExpectList(Main(), run.lines);
  if (run.closeBox) {
    driver::RequestClose(Main());
  } else {
    driver::PressEscape(Main());
    ExpectBoxes(Pid(), {ExitQuestion(IDNO)});
    ASSERT_TRUE(Panels().AddPanel("AFTER01"));  // still at work, the controls back
    ExpectList(Main(), 1);
    EXPECT_EQ(CallCount(*session_->program, "Deinitialize"), 0);
    driver::PressEscape(Main());
    ExpectBoxes(Pid(), {ExitQuestion(IDYES)});
  }
  ExpectEnd(*session_->program, 0, {"Deinitialize"});
}

INSTANTIATE_TEST_SUITE_P(StartUp, PanelCounts, ::testing::ValuesIn(kLifetimes));

struct Change {
  const char* name;
  std::vector<std::string> arrive, leave;  // serials; OTHERnn are of another type
  int selected;                            // the line a user selects before, -1: none
  std::size_t lines;
  std::vector<ExpectedBox> boxes;
};

std::vector<std::string> Serials(const char* prefix, int count) {
  std::vector<std::string> serials;
  for (int i = 1; i <= count; ++i) serials.push_back(prefix + std::to_string(100 + i));
  return serials;
}

TEST_F(Shell, ASecondCopyIsRefusedAndTheFirstFollowsItsPanelsToExit) {
  driver::LaunchOptions options;
  options.environment.emplace_back(L"PANELCAST_EMU_TYPE_FAILS", L"NOTYPE1,BROKEN1");
  // Start-up leaves out, without a word, other types and types that cannot be read.
  ASSERT_TRUE(Start(L"EMU0001,OTHER01:other,NOTYPE1,EMU0002", true, options));
  EXPECT_TRUE(NoMessageBoxFor(Pid(), 300));
  ExpectList(Main(), 2);
  driver::Program second;  // its end kills every copy: it lives until the first has ended
  ASSERT_TRUE(second.Started());
  ExpectBoxes(second.Id(), {BoxOf(msg::kAlreadyRunning)});
  ExpectEnd(second, 1, {});
  EXPECT_TRUE(second.LogLines().empty()) << "the second copy must not touch the library";
  EXPECT_EQ(driver::FindTopWindow(kMainTitle), Main());

  // The about box: the program's name and version, and its picture (two of its pixels; the
  // resources test reads them all) at (102, 30) of its client area. OK, Enter and Esc close it.
  for (const UINT key : {0, VK_RETURN, VK_ESCAPE}) {  // 0: the OK button
    driver::Click(Main(), IDC_ABOUT);
    const HWND about = driver::WaitForWindow(L"About", Pid(), kTimeoutMs);
    ASSERT_TRUE(about);
    EXPECT_EQ(driver::WindowText(FindWindowExW(about, nullptr, L"Static", nullptr))
                  .rfind(L"Panelcast v" PANELCAST_VERSION_WIDE, 0),
              0u);
    POINT at{102, 30};
    ClientToScreen(about, &at);
    EXPECT_TRUE(driver::WaitUntil(
        [&] {
          const driver::Picture shown = driver::CaptureScreen({at.x, at.y, at.x + 47, at.y + 45});
          return shown.At(1, 1) == 0x4594EA && shown.At(23, 22) == 0xFFFFFF;
        },
        kTimeoutMs));
    // A key goes to the box's focused control, where the dialog manager makes a command of it.
    const HWND focus = livetest::FocusedWindow(Main());
    if (key) driver::PostKey(focus && IsChild(about, focus) ? focus : about, key);
    if (!key) driver::Click(about, IDC_OK);
    ASSERT_TRUE(driver::WaitForWindowGone(about, kTimeoutMs));
  }

  std::vector<std::string> everyone = Serials("FILL", 28);
  everyone.insert(everyone.end(), {"EMU0001", "NEW0001", "EXTRA31"});
  const Change changes[] = {
      {"an arrival highlights the first line", {"NEW0001"}, {}, 1, 3, {}},
      {"another type is told of", {"OTHER02"}, {}, -1, 3, {BoxOf(msg::kNotFip)}},
      {"a type that cannot be read is told of", {"BROKEN1"}, {}, -1, 3,
       {BoxOf(msg::kDeviceTypeFailed)}},
      {"panels the program does not list leave", {}, {"OTHER01", "NOTYPE1"}, -1, 3, {}},
      {"a removal closes the gap", {}, {"EMU0002"}, 2, 2, {}},
      {"arrivals fill the list", Serials("FILL", 28), {}, -1, 30, {}},
      {"a thirty-first is not listed", {"EXTRA31"}, {}, -1, 30, {}},
      {"every panel leaves", {}, everyone, -1, 0, {}},
      {"arrivals bring the controls back", {"BACK001", "BACK002"}, {}, -1, 2, {}},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.name);
    if (change.selected >= 0) {
      driver::SelectListLineAndSettle(Main(), IDC_DEVICE_LIST, change.selected);
    }
    for (const std::string& serial : change.arrive) {
      ASSERT_TRUE(Panels().AddPanel(serial, serial.rfind("OTHER", 0) ? "fip" : "other"));
    }
    for (const std::string& serial : change.leave) ASSERT_TRUE(Panels().RemovePanel(serial));
    ExpectBoxes(Pid(), change.boxes);
    EXPECT_TRUE(NoMessageBoxFor(Pid(), 300));
    ExpectList(Main(), change.lines);
  }

  // Exit asks nothing; the workers blank and remove their pages before the library goes.
  for (int line = 0; line < 2; ++line) {
    ASSERT_TRUE(livetest::StartLiveMonitorOn(Main(), line, RECT{0, 0, 320, 240}));
  }
  ASSERT_FALSE(livetest::NextFrame(Panels(), "BACK002").empty());
  driver::Click(Main(), IDC_EXIT);
  EXPECT_TRUE(NoMessageBoxFor(Pid(), 300) || !session_->program->Running());
  ExpectEnd(*session_->program, 0, {"RemovePage", "RemovePage", "Deinitialize"});
}

}  // namespace
}  // namespace shelltest
