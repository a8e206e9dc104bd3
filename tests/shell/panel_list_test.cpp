// Runs of the program as a user sees them: the panel list at start, panels arriving and leaving,
// a second copy refused, the about box, and two ways out (Esc answered No then Yes, the close
// box), each ending with exit code 0 after the library was deinitialised once. (Exit ends the
// many-panel test, with thirty panels running.)
#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "tests/live/live_test_support.h"

namespace shelltest {
namespace {

using shelltest::BoxOf;
namespace msg = panelcast::msg;

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

TEST_F(Shell, WithoutPanelsNoSettingIsUsableAndEscAsksFirst) {
  ASSERT_TRUE(Start(L"", false));
  EXPECT_TRUE(NoMessageBoxFor(Pid(), 300));
  ExpectList(Main(), 0);
  ExpectedBox question{L"Exit", L"Are you sure you want to exit?", driver::BoxIcon::Question, IDNO};
  driver::PressEscape(Main());
  ExpectBoxes(Pid(), {question});
  ASSERT_TRUE(Panels().AddPanel("AFTER01"));  // still at work, the controls back
  ExpectList(Main(), 1);
  EXPECT_EQ(CallCount(*session_->program, "Deinitialize"), 0);
  question.answer = IDYES;
  driver::PressEscape(Main());
  ExpectBoxes(Pid(), {question});
  ExpectEnd(*session_->program, 0, {"Deinitialize"});
}

struct Change {
  const char* name;
  std::vector<std::string> arrive, leave;  // serials; OTHERnn are of another type
  int selected;                            // the line a user selects before, -1: none
  std::size_t lines;
  std::vector<ExpectedBox> boxes;
};

TEST_F(Shell, ASecondCopyIsRefusedAndTheFirstFollowsItsPanelsToTheCloseBox) {
  driver::LaunchOptions options;
  options.environment.emplace_back(L"PANELCAST_EMU_TYPE_FAILS", L"NOTYPE1,BROKEN1");
  // Start-up lists thirty and leaves out, without a word, other types and types it cannot read.
  ASSERT_TRUE(Start(SerialList(31) + L",OTHER01:other,NOTYPE1", true, options));
  EXPECT_TRUE(NoMessageBoxFor(Pid(), 300));
  ExpectList(Main(), 30);
  driver::Program second;  // its end kills every copy: it lives until the first has ended
  ASSERT_TRUE(second.Started());
  ExpectBoxes(second.Id(), {BoxOf(msg::kAlreadyRunning)});
  ExpectEnd(second, 1, {});
  EXPECT_TRUE(second.LogLines().empty()) << "the second copy must not touch the library";
  EXPECT_EQ(driver::FindTopWindow(panelcast::kMainWindowTitle), Main());

  // The about box paints its picture (two of its pixels; the resources test reads them all) at
  // (102, 30) of its client area; OK, Enter and Esc close it.
  for (const UINT key : {0, VK_RETURN, VK_ESCAPE}) {  // 0: the OK button
    driver::Click(Main(), IDC_ABOUT);
    const HWND about = driver::WaitForWindow(L"About", Pid(), kTimeoutMs);
    ASSERT_TRUE(about);
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

  const Change changes[] = {
      {"a removal closes the gap", {}, {"EMU0002"}, 2, 29, {}},
      {"another type is told of", {"OTHER02"}, {}, -1, 29, {BoxOf(msg::kNotFip)}},
      {"a type that cannot be read is told of", {"BROKEN1"}, {}, -1, 29,
       {BoxOf(msg::kDeviceTypeFailed)}},
      {"panels the program does not list leave", {}, {"OTHER01", "NOTYPE1"}, -1, 29, {}},
      {"an arrival highlights the first line", {"NEW0001"}, {}, 1, 30, {}},
      {"a thirty-first is not listed", {"EXTRA31"}, {}, -1, 30, {}},
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
  for (const auto& panel : Panels().Panels()) ASSERT_TRUE(Panels().RemovePanel(panel.serial));
  ExpectList(Main(), 0);  // every panel gone

  driver::RequestClose(Main());
  ExpectEnd(*session_->program, 0, {"Deinitialize"});
}

}  // namespace
}  // namespace shelltest
