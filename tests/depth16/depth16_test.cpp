// The screen tools on a desktop of 16 bits a pixel, where no capture can become a panel frame. CTest
// runs this program on the 16-bit screen that PANELCAST_DISPLAY16 names (Wine gives a program the
// X screen of the Unix process that started it, whatever DISPLAY its Windows environment says), and
// the program it starts inherits that screen. The live monitor blanks its page in every cycle and
// still keeps its delay; the GPS gauge shows its splash on both pages in every cycle. Only the
// message boxes' texts are read: their icons are not compared on this screen.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/driver/driver.h"
#include "tests/live/live_test_support.h"
#include "tests/sim/sim_test_support.h"

namespace livetest {
namespace {

constexpr char kPanel[] = "EMU0001";
constexpr int kModeGps = 1015;
constexpr int kDelayStep = 3;  // 300 ms
const RECT kRect{0, 0, 320, 240};

std::wstring Display16() {
  wchar_t value[256] = {};
  const DWORD length = GetEnvironmentVariableW(L"PANELCAST_DISPLAY16", value, std::size(value));
  return length > 0 && length < std::size(value) ? value : L"";
}

// One panel call as "Name page=.. len=.." (only the arguments these tests look at).
struct Call {
  uint32_t tick;
  std::string name;
  int page;
  int length;
};

int Argument(const std::string& args, const std::string& key) {
  const auto at = args.find(key + "=");
  return at == std::string::npos ? -1 : std::atoi(args.c_str() + at + key.size() + 1);
}

// The panel's calls from the worker's first (RegisterPageCallback) on.
std::vector<Call> WorkerCalls(emu::PanelControl& panels) {
  const auto all = panels.Log(kPanel);
  auto first = std::find_if(all.begin(), all.end(), [](const emu::CallRecord& call) {
    return call.name == "RegisterPageCallback";
  });
  std::vector<Call> calls;
  for (; first != all.end(); ++first) {
    calls.push_back({first->tick, first->name, Argument(first->args, "page"),
                     Argument(first->args, "len")});
  }
  return calls;
}

// The SetImage calls after the light sweep and before the end's blanking (the last `endCalls`
// SetImage calls), that is those of the frame cycles.
std::vector<Call> CycleImages(const std::vector<Call>& calls, std::size_t endCalls) {
  const auto lastLed = std::find_if(calls.rbegin(), calls.rend(),
                                    [](const Call& call) { return call.name == "SetLed"; });
  std::vector<Call> images;
  for (auto it = lastLed.base(); it != calls.end(); ++it) {
    if (it->name == "SetImage") images.push_back(*it);
  }
  images.resize(images.size() > endCalls ? images.size() - endCalls : 0);
  return images;
}

// The median time between cycles, from every `stride`-th call.
uint32_t MedianInterval(const std::vector<Call>& images, std::size_t stride) {
  std::vector<uint32_t> gaps;
  for (std::size_t i = stride; i < images.size(); i += stride) {
    gaps.push_back(images[i].tick - images[i - stride].tick);
  }
  if (gaps.empty()) return 0;
  std::sort(gaps.begin(), gaps.end());
  return gaps[gaps.size() / 2];
}

class SixteenBitDesktop : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring display = Display16();
    if (display.empty()) {
      GTEST_SKIP() << "PANELCAST_DISPLAY16 is not set: there is no 16-bit screen to run the "
                      "program on";
    }
    driver::LaunchOptions options;
    options.environment.emplace_back(L"PANELCAST_EMU_PANELS", L"EMU0001");
    session_ = driver::LaunchWithPanels(0, std::move(options), kTimeoutMs);
    ASSERT_TRUE(session_) << "the program did not start on the 16-bit screen";
    AnswerStartupNotice();
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsChecked(Main(), 1014); }, kTimeoutMs));
  }

  // The notice that no serial number was found, read by its title and text and answered with OK.
  void AnswerStartupNotice() {
    HWND box = nullptr;
    ASSERT_TRUE(driver::WaitUntil(
        [&] {
          const auto boxes = driver::MessageBoxWindows(session_->program->Id());
          box = boxes.empty() ? nullptr : boxes.front();
          return box != nullptr;
        },
        kTimeoutMs));
    const driver::MessageBoxInfo info = driver::ReadMessageBox(box);
    const shelltest::ExpectedBox expected = shelltest::HardwareInfoNotice();
    EXPECT_TRUE(info.title == expected.title);
    EXPECT_TRUE(info.text == expected.text);
    driver::AnswerMessageBox(box, IDOK);
    ASSERT_TRUE(driver::WaitForWindowGone(box, kTimeoutMs));
  }

  HWND Main() const { return session_->mainWindow; }
  emu::PanelControl& Panels() { return *session_->panels; }

  // SetImage calls of the panel so far.
  std::size_t ImageCalls() {
    const auto log = Panels().Log(kPanel);
    return std::count_if(log.begin(), log.end(),
                         [](const emu::CallRecord& call) { return call.name == "SetImage"; });
  }

  void Stop() {
    driver::Click(Main(), kStop);
    ASSERT_TRUE(driver::WaitUntil(
        [&] {
          const auto panel = Panels().Panel(kPanel);
          return driver::IsEnabled(Main(), kStart) && panel && panel->pages.empty();
        },
        kTimeoutMs));
  }

  std::unique_ptr<driver::PanelSession> session_;
};

TEST_F(SixteenBitDesktop, LiveMonitorBlanksItsPageEveryCycleAndKeepsTheDelay) {
  ASSERT_TRUE(StartLiveMonitorOn(Main(), 0, kRect, kDelayStep));
  // The splash while the lights sweep.
  ASSERT_TRUE(driver::WaitUntil([&] { return ImageCalls() >= 1; }, kTimeoutMs));
  EXPECT_EQ(Panels().Image(kPanel, 1), ProgramBitmap(IDB_SPLASH_LIVE));
  // Then six cycles; what the page shows meanwhile is nothing.
  ASSERT_TRUE(driver::WaitUntil([&] { return ImageCalls() >= 7; }, kTimeoutMs, 50));
  EXPECT_TRUE(Panels().Image(kPanel, 1).empty());
  Stop();

  const std::vector<Call> calls = WorkerCalls(Panels());
  const auto images = CycleImages(calls, 1);  // the end blanks page 1 once more
  ASSERT_GE(images.size(), 6u);
  for (const Call& image : images) {
    EXPECT_EQ(image.page, 1);
    EXPECT_EQ(image.length, 0) << "a captured frame reached the panel";
  }
  const auto frames = std::count_if(calls.begin(), calls.end(), [](const Call& call) {
    return call.name == "SetImage" && call.length != 0;
  });
  EXPECT_EQ(frames, 1) << "only the splash has pixels";
  // Every cycle pauses: the blanks come about 300 ms apart.
  const uint32_t interval = MedianInterval(images, 1);
  EXPECT_GE(interval, 280u);
  EXPECT_LE(interval, 900u);
  std::printf("[ figures  ] live monitor on 16 bits: %zu blanks, median %u ms apart\n",
              images.size(), interval);
}

TEST_F(SixteenBitDesktop, GpsGaugeShowsItsSplashOnBothPagesEveryCycle) {
  simtest::Simulator simulator;
  ASSERT_TRUE(simulator.Started());
  const std::vector<uint8_t> splash = ProgramBitmap(IDB_SPLASH_GPS);
  ASSERT_EQ(splash.size(), 230400u);
  ASSERT_TRUE(StartToolOn(Main(), 0, kModeGps, kRect, kDelayStep));
  // The start's splash, then the sweep on two pages, then six cycles of two sends each.
  ASSERT_TRUE(driver::WaitUntil([&] { return ImageCalls() >= 13; }, kTimeoutMs * 2, 50));
  EXPECT_EQ(Panels().Image(kPanel, 1), splash);
  EXPECT_EQ(Panels().Image(kPanel, 2), splash);
  Stop();

  const std::vector<Call> calls = WorkerCalls(Panels());
  const auto images = CycleImages(calls, 2);  // the end blanks both pages
  ASSERT_GE(images.size(), 12u);
  for (std::size_t i = 0; i < images.size(); ++i) {
    EXPECT_EQ(images[i].page, static_cast<int>(i % 2) + 1) << "send " << i;
    EXPECT_EQ(images[i].length, 230400) << "send " << i;
  }
  // Every picture page 1 or 2 showed during the run was the splash: checked above at the end of
  // the run, and the pages were never blanked before the end.
  const uint32_t interval = MedianInterval(images, 2);
  EXPECT_GE(interval, 280u);
  EXPECT_LE(interval, 900u);
  std::printf("[ figures  ] GPS gauge on 16 bits: %zu splash sends, cycles median %u ms apart\n",
              images.size(), interval);
}

}  // namespace
}  // namespace livetest
