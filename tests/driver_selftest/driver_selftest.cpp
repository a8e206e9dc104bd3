// The driver's readings checked against windows this test makes itself: a box reader that saw
// every icon as the one expected, a wait that gave up early or a capture that read the wrong rows
// would let every end-to-end test pass on what it never saw.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/driver/driver.h"

namespace {

constexpr DWORD kTimeoutMs = 10000;
// The first window of a fresh prefix waits for Wine's desktop to start, which can take longer.
constexpr DWORD kFirstBoxTimeoutMs = 40000;

BOOL CALLBACK PostAnswer(HWND window, LPARAM answer) {
  return PostMessageW(window, WM_COMMAND, answer, 0);
}

TEST(DriverSelftest, MessageBoxesAreReadAndAnsweredAsShown) {
  using driver::BoxIcon;
  const struct {
    UINT style;
    BoxIcon icon;
    std::vector<int> buttons;
    int answer;
  } rows[] = {
      {MB_OK | MB_ICONERROR, BoxIcon::Error, {IDOK}, IDOK},
      {MB_OK | MB_ICONWARNING, BoxIcon::Warning, {IDOK}, IDOK},
      {MB_OK | MB_ICONINFORMATION, BoxIcon::Information, {IDOK}, IDOK},
      {MB_OK, BoxIcon::None, {IDOK}, IDOK},
      {MB_YESNO | MB_ICONQUESTION, BoxIcon::Question, {IDYES, IDNO}, IDNO},
      {MB_YESNO | MB_ICONQUESTION, BoxIcon::Question, {IDYES, IDNO}, IDYES},
  };
  for (const auto& row : rows) {
    const std::wstring text = L"Box " + std::to_wstring(row.style) + L"...";
    std::atomic<int> answered{0};
    std::atomic<DWORD> thread{0};
    std::thread shows([&] {
      thread = GetCurrentThreadId();
      answered = MessageBoxW(nullptr, text.c_str(), L"Title", row.style);
    });
    const auto box =
        driver::AnswerNextMessageBox(GetCurrentProcessId(), row.answer, kFirstBoxTimeoutMs);
    const auto ended = [&] { return answered.load() != 0; };
    EXPECT_TRUE(driver::WaitUntil(ended, kTimeoutMs)) << row.style << ": the answer did not end it";
    // A box the driver missed or did not end is answered here, so the test fails, not hangs.
    const auto answerHere = [&] {
      return ended() || (EnumThreadWindows(thread, PostAnswer, row.answer), false);
    };
    (void)driver::WaitUntil(answerHere, kTimeoutMs, 500);
    if (ended()) {
      shows.join();
    } else {
      shows.detach();
    }
    ASSERT_TRUE(box.has_value()) << row.style;
    EXPECT_EQ(box->title, L"Title");
    EXPECT_EQ(box->text, text);
    EXPECT_STREQ(driver::BoxIconName(box->icon), driver::BoxIconName(row.icon)) << row.style;
    std::vector<int> ids;
    for (const auto& button : box->buttons) ids.push_back(button.id);
    EXPECT_EQ(ids, row.buttons) << row.style;
    EXPECT_EQ(answered, row.answer) << row.style;
  }
}

TEST(DriverSelftest, WaitsTakeTheirWholeTimeAndSeeALateCondition) {
  const ULONGLONG start = GetTickCount64();
  EXPECT_FALSE(driver::WaitUntil([] { return false; }, 300));
  EXPECT_GE(GetTickCount64() - start, 300u);
  int calls = 0;
  EXPECT_TRUE(driver::WaitUntil([&] { return ++calls == 3; }, kTimeoutMs));
  EXPECT_EQ(calls, 3);
  EXPECT_TRUE(driver::WaitUntil([&] { return GetTickCount64() - start >= 600; }, 300, 1000))
      << "the condition is asked once more at the deadline";
}

constexpr COLORREF kTop = RGB(0x20, 0x60, 0xA0), kBottom = RGB(0xC0, 0x30, 0x10);

LRESULT CALLBACK TwoColours(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  for (const auto& [colour, half] :
       {std::pair{kTop, RECT{0, 0, 200, 50}}, std::pair{kBottom, RECT{0, 50, 200, 100}}}) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &half, brush);
    DeleteObject(brush);
  }
  EndPaint(window, &paint);
  return 0;
}

// A window whose top half is one colour and bottom half another, read back from the screen:
// rows in order, colours exact, and Near as strict as its tolerance.
TEST(DriverSelftest, CapturesReadTheScreenRowsAsShown) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = TwoColours;
  windowClass.lpszClassName = L"DriverSelftestColours";
  RegisterClassW(&windowClass);
  HWND window =
      CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 40, 40,
                      200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  const auto shown = [&] {
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
    const driver::Picture shot = driver::CaptureWindow(window);
    return shot.width == 200 && shot.height == 100 && shot.At(10, 10) == 0x2060A0 &&
           shot.At(190, 49) == 0x2060A0 && shot.At(10, 50) == 0xC03010;
  };
  EXPECT_TRUE(driver::WaitUntil(shown, kTimeoutMs));
  EXPECT_FALSE(driver::SaveScreenshot(L"driver_selftest_window", window).empty());
  DestroyWindow(window);
  const struct {
    uint32_t a, b;
    int tolerance;
    bool isNear;
  } rows[] = {{0x2060A0, 0x2060A0, 0, true},  {0x2060A0, 0x2360A0, 3, true},
              {0x2060A0, 0x2460A0, 3, false}, {0x2060A0, 0x2064A0, 3, false},
              {0x2060A0, 0x20609C, 3, false}, {0x2060A0, 0x1D5D9D, 3, true}};
  for (const auto& row : rows) {
    EXPECT_EQ(driver::Near(row.a, row.b, row.tolerance), row.isNear) << std::hex << row.b;
  }
}

}  // namespace
