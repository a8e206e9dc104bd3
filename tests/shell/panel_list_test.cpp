// Runs of the program from start to end as a user sees them: the panel list at start, panels
// arriving and leaving, a second copy refused, and the ways out (the Exit button, Esc answered
// Yes after No, a close request), each ending with exit code 0 after the running panels' pages
// were removed and the library was deinitialised once.
#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "tests/live/live_test_support.h"
#include "tests/shell/shell_test_support.h"

namespace shelltest {
namespace {

const ExpectedBox kNotFip{L"Notice",
                          L"The newly added device is not FIP, so it won't be added to the list...",
                          driver::BoxIcon::Information};
const ExpectedBox kNoType{
    L"Error", L"Failed to get device type. This device will not be added to the list...",
    driver::BoxIcon::Warning};
ExpectedBox ExitQuestion(int answer) {
  return {L"Exit", L"Are you sure you want to exit?", driver::BoxIcon::Question, answer};
}

// What start-up leaves usable with and without panels: none of the settings without one.
const int kGreyedWithoutPanels[] = {
    IDC_START, IDC_STOP, IDC_SETUP,  IDC_FORMAT_JPG,     IDC_FORMAT_BMP, IDC_LEFT,
    IDC_RIGHT, IDC_TOP,  IDC_BOTTOM, IDC_DELAY_TRACKBAR, IDC_DELAY_TEXT, IDC_SHOW_HINTS};
const int kAlwaysEnabled[] = {
    IDC_MODE_CUSTOMIZE, IDC_MODE_GPS, IDC_MODE_LIVE_VIEW, IDC_MODE_STATIC, IDC_MODE_LIVE_MONITOR,
    IDC_DEVICE_LIST,    IDC_REFRESH,  IDC_ABOUT,          IDC_EXIT};

// The list shows `lines` generic lines, the first highlighted, and the controls follow.
void ExpectList(HWND main, std::size_t lines) {
  const auto shown = ListLines(main);
  EXPECT_EQ(shown.size(), lines);
  for (const auto& line : shown) EXPECT_EQ(line, L"Generic FIP Device");
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

enum class Way { kExit, kClose, kEscapeNoThenYes };

struct Lifetime {
  const char* name;
  std::wstring panels;  // connected at start; NOTYPE1's type cannot be read
  std::size_t lines;
  int monitors;  // live monitors started on the first lines
  Way way;
  std::vector<driver::ExpectedCall> calls;  // see ExpectEnd
};

const Lifetime kLifetimes[] = {
    {"no panel", L"", 0, 0, Way::kExit, {"Deinitialize ok"}},
    {"31 panels", SerialList(31), 30, 0, Way::kClose, {"Deinitialize ok"}},
    {"other types left out", L"FIP0001,OTHER01:other,NOTYPE1,FIP0002", 2, 0, Way::kEscapeNoThenYes,
     {"Deinitialize ok"}},
    // The workers blank and remove their pages before the library goes.
    {"two live monitors", L"EMU0001,EMU0002", 2, 2, Way::kExit,
     {"RemovePage ok", "RemovePage ok", "Deinitialize ok"}},
};

// One run per row, from what start-up lists to the way out.
class PanelCounts : public Shell, public ::testing::WithParamInterface<Lifetime> {};

TEST_P(PanelCounts, OneLinePerPanelUpToThirty) {
  const Lifetime& run = GetParam();
  SCOPED_TRACE(run.name);
  driver::LaunchOptions options;
  options.environment.emplace_back(L"PANELCAST_EMU_TYPE_FAILS", L"NOTYPE1");
  ASSERT_TRUE(Start(run.panels, !run.panels.empty(), options));
  EXPECT_TRUE(NoMessageBoxFor(Pid(), 300));
  ExpectList(Main(), run.lines);
  for (int line = 0; line < run.monitors; ++line) {
    ASSERT_TRUE(livetest::StartLiveMonitorOn(Main(), line, RECT{0, 0, 320, 240}));
  }
  if (run.monitors) {
    ASSERT_FALSE(livetest::NextFrame(Panels(), "EMU0002").empty());
  }

  switch (run.way) {
    case Way::kExit:
      driver::Click(Main(), IDC_EXIT);
      EXPECT_TRUE(NoMessageBoxFor(Pid(), 300) || !session_->program->Running());
      break;
    case Way::kClose:
      driver::RequestClose(Main());
      break;
    case Way::kEscapeNoThenYes:
      driver::PressEscape(Main());
      ExpectBoxes(Pid(), {ExitQuestion(IDNO)});
      EXPECT_FALSE(session_->program->WaitForExit(500).has_value());
      EXPECT_EQ(driver::FindTopWindow(kMainTitle, Pid()), Main());
      ASSERT_TRUE(Panels().AddPanel("AFTER01"));  // still at work
      EXPECT_TRUE(ListHas(run.lines + 1));
      EXPECT_EQ(CallCount(*session_->program, "Deinitialize"), 0);
      driver::PressEscape(Main());
      ExpectBoxes(Pid(), {ExitQuestion(IDYES)});
      break;
  }
  ExpectEnd(*session_->program, 0, run.calls);
}

INSTANTIATE_TEST_SUITE_P(StartUp, PanelCounts, ::testing::ValuesIn(kLifetimes));

std::vector<std::string> Serials(const char* prefix, int count) {
  std::vector<std::string> serials;
  for (int i = 1; i <= count; ++i) serials.push_back(prefix + std::to_string(100 + i));
  return serials;
}

struct Change {
  const char* name;
  std::vector<std::string> arrive, leave;  // serials, ":other" for a panel of another type
  int selected;                            // the line a user selects before, -1: none
  std::size_t lines;
  std::vector<ExpectedBox> boxes;
};

TEST_F(Shell, ASecondCopyIsRefusedAndTheFirstFollowsArrivalsAndRemovals) {
  driver::LaunchOptions options;
  options.environment.emplace_back(L"PANELCAST_EMU_TYPE_FAILS", L"BROKEN1");
  ASSERT_TRUE(Start(L"EMU0001,EMU0002,OTHER01:other", true, options));
  driver::Program second;
  ASSERT_TRUE(second.Started());
  ExpectBoxes(second.Id(), {{L"Information",
                             L"The program is already running. Only one copy of the program can "
                             L"be active at any given moment...",
                             driver::BoxIcon::Information}});
  ExpectEnd(second, 1, {});
  EXPECT_TRUE(second.LogLines().empty()) << "the second copy must not touch the library";
  EXPECT_EQ(driver::FindTopWindow(kMainTitle), Main());

  std::vector<std::string> everyone = Serials("FILL", 28);
  everyone.insert(everyone.end(), {"EMU0001", "NEW0001", "EXTRA31"});
  const Change changes[] = {
      {"an arrival highlights the first line", {"NEW0001"}, {}, 1, 3, {}},
      {"another type is told of", {"OTHER02:other"}, {}, -1, 3, {kNotFip}},
      {"a type that cannot be read is told of", {"BROKEN1"}, {}, -1, 3, {kNoType}},
      {"a panel the program does not know leaves", {}, {"OTHER01"}, -1, 3, {}},
      {"a removal closes the gap", {}, {"EMU0002"}, 2, 2, {}},
      {"arrivals fill the list", Serials("FILL", 28), {}, -1, 30, {}},
      {"a thirty-first is not listed", {"EXTRA31"}, {}, -1, 30, {}},
      {"every panel leaves", {}, everyone, -1, 0, {}},
      {"an arrival brings the controls back", {"BACK001"}, {}, -1, 1, {}},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.name);
    if (change.selected >= 0) {
      driver::SelectListLine(Main(), IDC_DEVICE_LIST, change.selected);
      ASSERT_TRUE(driver::WaitUntil(
          [&] { return driver::ListSelection(Main(), IDC_DEVICE_LIST) == change.selected; },
          kTimeoutMs));
    }
    for (const std::string& serial : change.arrive) {
      const auto colon = serial.find(':');
      ASSERT_TRUE(colon == std::string::npos ? Panels().AddPanel(serial)
                                             : Panels().AddPanel(serial.substr(0, colon), "other"));
    }
    for (const std::string& serial : change.leave) ASSERT_TRUE(Panels().RemovePanel(serial));
    ExpectBoxes(Pid(), change.boxes);
    EXPECT_TRUE(NoMessageBoxFor(Pid(), 300));
    EXPECT_TRUE(ListHas(change.lines));
    ExpectList(Main(), change.lines);
  }
  driver::Click(Main(), IDC_EXIT);
  ExpectEnd(*session_->program, 0, {"Deinitialize ok"});
}

}  // namespace
}  // namespace shelltest
