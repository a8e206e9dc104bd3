// The driver's parts whose fault would let end-to-end tests pass on what they never saw: a box
// reader, a wait that gave up early, pictures read upside down or compared too loosely.
#include <gtest/gtest.h>

#include <thread>
#include <tuple>

#include "tests/driver/driver.h"

namespace {

// A box the driver missed or did not end is ended here (the timer runs in the box's thread), so
// the test fails, not hangs.
void CALLBACK EndBox(HWND, UINT, UINT_PTR, DWORD) { EndDialog(FindWindowW(nullptr, L"Title"), 0); }

TEST(DriverSelftest, MessageBoxesAreReadAndAnsweredAsShown) {
  for (const auto& [style, icon, answer] :
       {std::tuple{MB_OK | MB_ICONERROR, driver::BoxIcon::Error, IDOK},
        {MB_OK | MB_ICONWARNING, driver::BoxIcon::Warning, IDOK},
        {MB_OK | MB_ICONINFORMATION, driver::BoxIcon::Information, IDOK},
        {MB_OK, driver::BoxIcon::None, IDOK},
        {MB_YESNO | MB_ICONQUESTION, driver::BoxIcon::Question, IDNO}}) {
    const std::wstring text = L"Box " + std::to_wstring(style) + L"...";
    std::optional<driver::MessageBoxInfo> box;
    // The first window of a fresh prefix waits for Wine's desktop to start.
    std::thread reads(
        [&] { box = driver::AnswerNextMessageBox(GetCurrentProcessId(), answer, 40000); });
    const UINT_PTR timer = SetTimer(nullptr, 0, 50000, EndBox);
    EXPECT_EQ(MessageBoxW(nullptr, text.c_str(), L"Title", style), answer) << style;
    KillTimer(nullptr, timer);
    reads.join();
    ASSERT_TRUE(box.has_value()) << style;
    EXPECT_EQ(box->title, L"Title");
    EXPECT_EQ(box->text, text);
    EXPECT_STREQ(driver::BoxIconName(box->icon), driver::BoxIconName(icon)) << style;
  }
}

TEST(DriverSelftest, WaitsTakeTheirWholeTimeAndSeeALateCondition) {
  const ULONGLONG start = GetTickCount64();
  EXPECT_FALSE(driver::WaitUntil([] { return false; }, 300));
  EXPECT_GE(GetTickCount64() - start, 300u);
  int calls = 0;
  EXPECT_TRUE(driver::WaitUntil([&] { return ++calls == 3; }, 10000));
}

TEST(DriverSelftest, PicturesAreReadFromTheTopAndComparedChannelByChannel) {
  const driver::Picture bottomUp{1, 2, {0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0}};
  EXPECT_EQ(bottomUp.At(0, 0), 0x605040u);
  EXPECT_EQ(bottomUp.At(0, 1), 0x302010u);
  for (const auto& [other, isNear] :
       {std::pair{0x1D5D9Du, true}, {0x2460A0u, false}, {0x2064A0u, false}, {0x20609Cu, false}}) {
    EXPECT_EQ(driver::Near(0x2060A0, other, 3), isNear) << std::hex << other;
  }
}

}  // namespace
