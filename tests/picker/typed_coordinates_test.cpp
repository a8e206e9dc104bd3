// Coordinates typed into the main window and checked by START in the live monitor mode: which
// rectangles start the panel, which are refused with the invalid-coordinates message, what an
// empty edit does, and that long and negative numbers are kept whole.
#include <gtest/gtest.h>

#include <string>

#include "tests/driver/driver.h"
#include "tests/live/live_test_support.h"

namespace livetest {
namespace {

using shelltest::ExpectBoxes;

constexpr char kPanel[] = "EMU0001";

struct Typed {
  const wchar_t* left;
  const wchar_t* right;
  const wchar_t* top;
  const wchar_t* bottom;
};

std::string Describe(const Typed& t) {
  const std::wstring all = std::wstring(t.left) + L"," + t.right + L"," + t.top + L"," + t.bottom;
  return std::string(all.begin(), all.end());
}

class TypedCoordinates : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = shelltest::StartWithPanelCount(1);
    ASSERT_TRUE(session_);
    main_ = session_->mainWindow;
    pid_ = session_->program->Id();
    driver::Click(main_, kModeLive);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsChecked(main_, kModeLive); }, kTimeoutMs));
  }

  void Type(const Typed& t) {
    driver::SetControlText(main_, kLeft, t.left);
    driver::SetControlText(main_, kRight, t.right);
    driver::SetControlText(main_, kTop, t.top);
    driver::SetControlText(main_, kBottom, t.bottom);
  }

  int AddPageCalls() {
    int count = 0;
    for (const auto& name : CallNames(*session_->panels, kPanel)) count += name == "AddPage";
    return count;
  }

  // START with `t` typed: the panel runs (then STOP again), or nothing starts.
  void ExpectAccepted(const Typed& t) {
    Type(t);
    driver::Click(main_, kStart);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsEnabled(main_, kStop); }, kTimeoutMs))
        << Describe(t) << " did not start the panel";
    EXPECT_TRUE(driver::MessageBoxWindows(pid_).empty()) << Describe(t);
    driver::Click(main_, kStop);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsEnabled(main_, kStart); }, kTimeoutMs));
  }

  void ExpectRefused(const Typed& t) {
    const int pagesBefore = AddPageCalls();
    Type(t);
    driver::Click(main_, kStart);
    ExpectBoxes(pid_, {{L"Error",
                        L"The screen coordinates you entered are invalid. Please enter valid "
                        L"coordinates...",
                        driver::BoxIcon::Warning}});
    ExpectNoWorker(pagesBefore, t);
  }

  void ExpectNoWorker(int pagesBefore, const Typed& t) {
    EXPECT_TRUE(driver::IsEnabled(main_, kStart)) << Describe(t);
    EXPECT_FALSE(driver::IsEnabled(main_, kStop)) << Describe(t);
    EXPECT_EQ(AddPageCalls(), pagesBefore) << Describe(t) << " reached the panel";
  }

  // What the panel's slot holds, as the edits show it once the line is selected again (after
  // the edits have been overwritten, so nothing typed is left to read).
  std::string ShownAfterReselect() {
    Type({L"7", L"7", L"7", L"7"});
    driver::SelectListLine(main_, kList, 0);
    driver::WaitUntil([&] { return driver::ControlText(main_, kLeft) != L"7"; }, kTimeoutMs);
    const std::wstring left = driver::ControlText(main_, kLeft);
    const std::wstring right = driver::ControlText(main_, kRight);
    const std::wstring top = driver::ControlText(main_, kTop);
    const std::wstring bottom = driver::ControlText(main_, kBottom);
    return Describe({left.c_str(), right.c_str(), top.c_str(), bottom.c_str()});
  }

  std::unique_ptr<driver::PanelSession> session_;
  HWND main_ = nullptr;
  DWORD pid_ = 0;
};

TEST_F(TypedCoordinates, StartAcceptsAndRefusesRectangles) {
  ExpectRefused({L"0", L"0", L"0", L"0"});
  ExpectAccepted({L"0", L"100", L"0", L"100"});
  ExpectAccepted({L"300", L"100", L"0", L"100"});   // left greater than right
  ExpectRefused({L"0", L"100", L"200", L"100"});    // top greater than bottom
  ExpectRefused({L"0", L"0", L"10", L"100"});       // no width
  ExpectRefused({L"10", L"100", L"0", L"0"});       // no height
  ExpectAccepted({L"-1920", L"-1000", L"100", L"700"});
}

TEST_F(TypedCoordinates, AnEmptyEditDoesNothingWithoutAMessage) {
  const int pagesBefore = AddPageCalls();
  for (int empty : {kLeft, kRight, kTop, kBottom}) {
    Type({L"0", L"100", L"0", L"100"});
    driver::SetControlText(main_, empty, L"");
    driver::Click(main_, kStart);
    // The hint box's click is handled after START's: once it shows, START has been handled.
    const bool hints = driver::IsChecked(main_, kHints);
    driver::Click(main_, kHints);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsChecked(main_, kHints) != hints; },
                                  kTimeoutMs));
    EXPECT_TRUE(shelltest::NoMessageBoxFor(pid_, 300)) << "edit " << empty;
    ExpectNoWorker(pagesBefore, {L"0", L"100", L"0", L"100"});
  }
}

TEST_F(TypedCoordinates, LongAndNegativeNumbersAreKeptWhole) {
  ExpectAccepted({L"-1920", L"-1000", L"100", L"700"});
  EXPECT_EQ(ShownAfterReselect(), Describe({L"-1920", L"-1000", L"100", L"700"}));

  ExpectAccepted({L"0", L"12345", L"0", L"100"});
  EXPECT_EQ(ShownAfterReselect(), Describe({L"0", L"12345", L"0", L"100"}));
}

}  // namespace
}  // namespace livetest
