// Proves the test driver on a real program under the same conditions as the end-to-end tests:
// a separate process, its message boxes and its controls, reached only through messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>

#include "tests/driver/driver.h"
#include "tests/driver_selftest/selftest_ids.h"

namespace {

constexpr DWORD kTimeoutMs = 10000;
constexpr wchar_t kHelper[] = L"driver_selftest_helper.exe";

driver::LaunchOptions Helper(const wchar_t* mode) {
  driver::LaunchOptions options;
  options.exeName = kHelper;
  options.arguments = mode;
  return options;
}

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

struct ExpectedBox {
  std::wstring title, text;
  driver::BoxIcon icon;
  std::vector<int> buttons;
};

// The helper's box sequence, answered in order; the last box is the exit question.
void CheckBoxSequence(int lastAnswer) {
  driver::Program helper(Helper(L"boxes"));
  ASSERT_TRUE(helper.Started()) << "error " << helper.StartError();
  const std::vector<ExpectedBox> expected = {
      {L"Error", L"Failed to do the first thing...", driver::BoxIcon::Error, {IDOK}},
      {L"Warning", L"Careful with the second thing...", driver::BoxIcon::Warning, {IDOK}},
      {L"Information", L"The third thing happened...", driver::BoxIcon::Information, {IDOK}},
      {L"Notice", L"No icon on this one...", driver::BoxIcon::None, {IDOK}},
      {L"Exit", L"Are you sure you want to exit?", driver::BoxIcon::Question, {IDYES, IDNO}},
  };
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const auto& want = expected[i];
    const int answer = i + 1 == expected.size() ? lastAnswer : IDOK;
    const auto box = driver::AnswerNextMessageBox(helper.Id(), answer, kTimeoutMs);
    ASSERT_TRUE(box.has_value()) << "box " << i << " never came";
    EXPECT_EQ(Narrow(box->title), Narrow(want.title)) << "box " << i;
    EXPECT_EQ(Narrow(box->text), Narrow(want.text)) << "box " << i;
    EXPECT_STREQ(driver::BoxIconName(box->icon), driver::BoxIconName(want.icon)) << "box " << i;
    std::vector<int> ids;
    for (const auto& b : box->buttons) ids.push_back(b.id);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, want.buttons) << "box " << i;
  }
  const auto code = helper.WaitForExit(kTimeoutMs);
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(*code, static_cast<DWORD>(lastAnswer));
  EXPECT_TRUE(driver::MessageBoxWindows(helper.Id()).empty());
}

TEST(DriverMessageBoxes, ReadsEachBoxAndAnswersYes) { CheckBoxSequence(IDYES); }
TEST(DriverMessageBoxes, ReadsEachBoxAndAnswersNo) { CheckBoxSequence(IDNO); }

class DriverWindow : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(helper_.Started()) << "error " << helper_.StartError();
    window_ = driver::WaitForWindow(selftest::kWindowTitle, helper_.Id(), kTimeoutMs);
    ASSERT_NE(window_, nullptr);
  }
  bool StatusBecomes(const std::wstring& text) {
    return driver::WaitUntil(
        [&] { return driver::ControlText(window_, selftest::kStatus) == text; }, kTimeoutMs);
  }
  driver::Program helper_{Helper(L"window")};
  HWND window_ = nullptr;
};

TEST_F(DriverWindow, FindsWindowOnlyForItsProcess) {
  EXPECT_EQ(driver::FindTopWindow(selftest::kWindowTitle, helper_.Id()), window_);
  EXPECT_EQ(driver::FindTopWindow(selftest::kWindowTitle, GetCurrentProcessId()), nullptr);
  EXPECT_EQ(driver::FindTopWindow(L"No such window title"), nullptr);
}

TEST_F(DriverWindow, ReadsAndSelectsListLines) {
  EXPECT_EQ(driver::ListCount(window_, selftest::kList), 3);
  EXPECT_EQ(Narrow(driver::ListLine(window_, selftest::kList, 1)), "Second line");
  EXPECT_EQ(driver::ListSelection(window_, selftest::kList), LB_ERR);
  driver::SelectListLine(window_, selftest::kList, 2);
  EXPECT_TRUE(StatusBecomes(L"Selected 2"));
  EXPECT_EQ(driver::ListSelection(window_, selftest::kList), 2);
}

TEST_F(DriverWindow, ClicksButtonsAndReadsStates) {
  driver::Click(window_, selftest::kCount);
  driver::Click(window_, selftest::kCount);
  EXPECT_TRUE(StatusBecomes(L"Clicks 2"));
  EXPECT_FALSE(driver::IsEnabled(window_, selftest::kDisabled));
  EXPECT_TRUE(driver::IsEnabled(window_, selftest::kCount));
  EXPECT_EQ(Narrow(driver::ControlText(window_, selftest::kCount)), "Count");

  EXPECT_FALSE(driver::IsChecked(window_, selftest::kCheck));
  driver::Click(window_, selftest::kCheck);
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::IsChecked(window_, selftest::kCheck); },
                                kTimeoutMs));
}

TEST_F(DriverWindow, SetsAndReadsEditAndTrackbar) {
  driver::SetControlText(window_, selftest::kEdit, L"1234");
  EXPECT_EQ(Narrow(driver::ControlText(window_, selftest::kEdit)), "1234");
  EXPECT_EQ(driver::TrackbarPosition(window_, selftest::kTrackbar), 2);
  driver::MoveTrackbar(window_, selftest::kTrackbar, 7);
  EXPECT_TRUE(StatusBecomes(L"Trackbar 7"));
  EXPECT_EQ(driver::TrackbarPosition(window_, selftest::kTrackbar), 7);
}

TEST_F(DriverWindow, PostsKeysAndEnter) {
  driver::PostKey(window_, VK_F5);
  EXPECT_TRUE(StatusBecomes(L"Key " + std::to_wstring(VK_F5)));
  driver::PressEnter(window_);
  EXPECT_TRUE(StatusBecomes(L"Enter"));
}

TEST_F(DriverWindow, AnswersBoxOpenedByClick) {
  driver::Click(window_, selftest::kAsk);
  auto box = driver::AnswerNextMessageBox(helper_.Id(), IDNO, kTimeoutMs);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->icon, driver::BoxIcon::Question);
  EXPECT_TRUE(StatusBecomes(L"Answered no"));
  driver::Click(window_, selftest::kAsk);
  box = driver::AnswerNextMessageBox(helper_.Id(), IDYES, kTimeoutMs);
  ASSERT_TRUE(box.has_value());
  EXPECT_TRUE(StatusBecomes(L"Answered yes"));
}

TEST_F(DriverWindow, EscapeAsksAndOnlyYesCloses) {
  driver::PressEscape(window_);
  auto box = driver::AnswerNextMessageBox(helper_.Id(), IDNO, kTimeoutMs);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(Narrow(box->title), "Exit");
  EXPECT_TRUE(IsWindow(window_));
  EXPECT_FALSE(helper_.WaitForExit(0).has_value());

  driver::PressEscape(window_);
  box = driver::AnswerNextMessageBox(helper_.Id(), IDYES, kTimeoutMs);
  ASSERT_TRUE(box.has_value());
  const auto code = helper_.WaitForExit(kTimeoutMs);
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(*code, 0u);
}

TEST_F(DriverWindow, CloseRequestEndsProgram) {
  driver::RequestClose(window_);
  const auto code = helper_.WaitForExit(kTimeoutMs);
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(*code, 0u);
  EXPECT_TRUE(driver::WaitForWindowGone(window_, kTimeoutMs));
}

TEST_F(DriverWindow, ScreenshotShowsWindowBackground) {
  const driver::Picture shot = driver::CaptureWindow(window_);
  ASSERT_GT(shot.width, 0);
  // The status line ends at y 160 of the client area; below it only background is drawn.
  RECT client{};
  GetClientRect(window_, &client);
  POINT spot{client.right - 10, client.bottom - 10};
  ClientToScreen(window_, &spot);
  RECT outer{};
  GetWindowRect(window_, &outer);
  const uint32_t bgr = selftest::kBackground;
  const uint32_t rgb = ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
  EXPECT_TRUE(driver::WaitUntil(
      [&] {
        return driver::CaptureWindow(window_).At(spot.x - outer.left, spot.y - outer.top) == rgb;
      },
      kTimeoutMs));

  const std::wstring path = driver::SaveScreenshot(L"driver_selftest_window", window_);
  ASSERT_FALSE(path.empty());
  FILE* f = _wfopen(path.c_str(), L"rb");
  ASSERT_NE(f, nullptr);
  unsigned char signature[8] = {};
  EXPECT_EQ(fread(signature, 1, 8, f), 8u);
  fclose(f);
  EXPECT_EQ(signature[1], 'P');
  EXPECT_EQ(signature[2], 'N');
  EXPECT_EQ(signature[3], 'G');
}

// Two copies of the helper, the second started as `secondExe`; ending the second ends both.
void CheckKillEndsEveryCopy(const std::wstring& secondExe) {
  driver::Program first(Helper(L"window"));
  HWND firstWindow = driver::WaitForWindow(selftest::kWindowTitle, first.Id(), kTimeoutMs);
  ASSERT_NE(firstWindow, nullptr);
  HWND secondWindow = nullptr;
  {
    driver::LaunchOptions options = Helper(L"window");
    options.exeName = secondExe;
    driver::Program second(options);
    ASSERT_TRUE(second.Started()) << "error " << second.StartError();
    secondWindow = driver::WaitForWindow(selftest::kWindowTitle, second.Id(), kTimeoutMs);
    ASSERT_NE(secondWindow, nullptr);
    EXPECT_TRUE(driver::HasTopLevelWindow(second.Id()));
    EXPECT_NE(second.PipeName(), first.PipeName());
    EXPECT_NE(second.LogPath(), first.LogPath());
    // Leaving the scope kills `second` and, as a leftover copy, `first` too.
  }
  EXPECT_FALSE(IsWindow(secondWindow));
  EXPECT_FALSE(IsWindow(firstWindow));
  EXPECT_FALSE(first.Running());
  EXPECT_FALSE(driver::HasTopLevelWindow(first.Id()));
  EXPECT_EQ(driver::FindTopWindow(selftest::kWindowTitle), nullptr);
}

TEST(DriverProgram, KillEndsProgramAndEveryOtherCopy) { CheckKillEndsEveryCopy(kHelper); }

// Copies of the program run from subfolders (bin\usb, bin\nosim): the process list names them
// without their folder.
TEST(DriverProgram, KillEndsEveryCopyAlsoForAProgramStartedFromASubfolder) {
  const std::wstring folder = driver::TestProgramFolder() + L"selftest-sub";
  CreateDirectoryW(folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW((driver::TestProgramFolder() + kHelper).c_str(),
                        (folder + L"\\" + kHelper).c_str(), FALSE));
  CheckKillEndsEveryCopy(std::wstring(L"selftest-sub\\") + kHelper);
}

TEST(DriverProgram, ReportsMissingProgram) {
  driver::LaunchOptions options;
  options.exeName = L"no_such_program.exe";
  driver::Program missing(options);
  EXPECT_FALSE(missing.Started());
  EXPECT_EQ(missing.StartError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(DriverWait, GivesUpAfterTimeoutAndSeesLateCondition) {
  const ULONGLONG start = GetTickCount64();
  EXPECT_FALSE(driver::WaitUntil([] { return false; }, 100));
  EXPECT_GE(GetTickCount64() - start, 100u);
  int calls = 0;
  EXPECT_TRUE(driver::WaitUntil([&] { return ++calls == 3; }, kTimeoutMs));
  EXPECT_EQ(calls, 3);
}

// Programs on the rig's 16-bit screen while the test stays on the main one.
class DriverSixteenBitScreen : public testing::Test {
 protected:
  void SetUp() override {
    display_ = driver::SixteenBitDisplay();
    if (display_.empty()) {
      GTEST_SKIP() << "no 16-bit screen: PANELCAST_DISPLAY16 is not set (scripts/test sets it)";
    }
  }
  driver::LaunchOptions OnIt(driver::LaunchOptions options) const {
    options.environment.emplace_back(L"DISPLAY", display_);
    return options;
  }
  std::wstring display_;
};

int OwnScreenDepth() {
  HDC screen = GetDC(nullptr);
  const int bits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  return bits;
}

// The helper's window says the depth of the screen it was given.
std::wstring DepthShownBy(const driver::LaunchOptions& options) {
  driver::Program helper(options);
  if (!helper.Started()) return L"not started, error " + std::to_wstring(helper.StartError());
  const HWND window = driver::WaitForWindow(selftest::kWindowTitle, helper.Id(), kTimeoutMs);
  return window ? driver::ControlText(window, selftest::kStatus) : L"no window";
}

TEST_F(DriverSixteenBitScreen, ProgramGetsTheDepthOfTheScreenItIsGiven) {
  ASSERT_NE(OwnScreenDepth(), 16) << "the test itself already runs on a 16-bit screen";
  EXPECT_EQ(Narrow(DepthShownBy(Helper(L"depth"))), "Bits " + std::to_string(OwnScreenDepth()));
  EXPECT_EQ(Narrow(DepthShownBy(OnIt(Helper(L"depth")))), "Bits 16");
}

TEST_F(DriverSixteenBitScreen, WindowThereIsFoundAndDrivenByMessages) {
  driver::Program helper(OnIt(Helper(L"window")));
  const HWND window = driver::WaitForWindow(selftest::kWindowTitle, helper.Id(), kTimeoutMs);
  ASSERT_NE(window, nullptr);
  driver::Click(window, selftest::kCount);
  EXPECT_TRUE(driver::WaitUntil(
      [&] { return driver::ControlText(window, selftest::kStatus) == L"Clicks 1"; }, kTimeoutMs));
  driver::SelectListLine(window, selftest::kList, 1);
  EXPECT_TRUE(driver::WaitUntil(
      [&] { return driver::ControlText(window, selftest::kStatus) == L"Selected 1"; },
      kTimeoutMs));
}

}  // namespace

#if PANELCAST_HAVE_EMU_CONTROL
namespace {

// The one-call start of end-to-end tests, against the real program and its emulated panels.
TEST(DriverPanelSession, LaunchesProgramWithConnectedPanels) {
  auto session = driver::LaunchWithPanels(3);
  ASSERT_NE(session, nullptr);
  EXPECT_EQ(session->panels->Panels().size(), 3u);
  constexpr int kDeviceList = 1000;
  const DWORD programId = session->program->Id();
  auto listed = [&] { return driver::ListCount(session->mainWindow, kDeviceList) == 3; };
  // Without the identification stand-in, start-up first says it could not name the panels.
  ASSERT_TRUE(driver::WaitUntil(
      [&] { return listed() || !driver::MessageBoxWindows(programId).empty(); }, kTimeoutMs));
  if (!listed()) {
    const auto box = driver::AnswerNextMessageBox(programId, IDOK, kTimeoutMs);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(Narrow(box->title), "Information");
  }
  EXPECT_TRUE(driver::WaitUntil(listed, kTimeoutMs));
  if (HasFailure()) driver::SaveScreenshot(L"driver_selftest_panel_session");
  const DWORD pid = session->program->Id();
  session.reset();
  EXPECT_EQ(driver::FindTopWindow(L"Zivovi Panelcast", pid), nullptr);
}

// The program itself on the 16-bit screen: the copy beside the stand-in device library, so no
// start-up notice appears (a box's icon could not be read from here).
TEST_F(DriverSixteenBitScreen, ProgramThereShowsItsMainWindowAndPanelList) {
  driver::LaunchOptions options;
  options.exeName = L"usb\\Panelcast.exe";
  auto session = driver::LaunchWithPanels(2, OnIt(options));
  ASSERT_NE(session, nullptr) << "the program did not come up on " << Narrow(display_);
  EXPECT_EQ(Narrow(driver::WindowText(session->mainWindow)), "Zivovi Panelcast");
  constexpr int kDeviceList = 1000;
  EXPECT_TRUE(driver::WaitUntil(
      [&] { return driver::ListCount(session->mainWindow, kDeviceList) == 2; }, kTimeoutMs));
  EXPECT_TRUE(driver::MessageBoxWindows(session->program->Id()).empty());
  const DWORD pid = session->program->Id();
  session.reset();
  EXPECT_FALSE(driver::HasTopLevelWindow(pid));
}

}  // namespace
#endif
