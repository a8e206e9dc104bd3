// The live monitor end to end inside one process: the worker started as START starts it, on a
// slot whose rectangle covers a window painted with a known pattern, and everything checked
// through the stand-in panel library: the calls it received, the frames it was sent, and what
// its buttons, encoders and page switches do.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "app/stop_messages.h"
#include "base/global_buffer.h"
#include "devices/slot_table.h"
#include "feeds/bitmap_resource.h"
#include "feeds/frame_format.h"
#include "feeds/worker_supervision.h"
#include "monitor/live_monitor.h"
#include "resources/resource_ids.h"
#include "tests/driver/call_sequence.h"
#include "tests/driver/pictures.h"
#include "tests/driver/wait.h"
#include "tests/feeds/frame_checks.h"
#include "tests/feeds/in_process_panels.h"

namespace panelcast {
namespace {

using feeds_test::Panels;
using feeds_test::WaitPumping;

constexpr int kSlot = 0;
constexpr RECT kPatternRect = {200, 150, 840, 630};  // 640x480: each frame pixel is 2x2 of it
constexpr int kBlocks = 4;                             // the pattern is 4x4 solid blocks
constexpr int kTolerance = 12;                         // per channel, for halftone stretching
constexpr HRESULT kFailure = static_cast<HRESULT>(0x80004005);

constexpr uint32_t kBlockColours[kBlocks][kBlocks] = {
    {0xE01030, 0x20C040, 0x3040D0, 0xF0F020},
    {0x10E0E0, 0xC020C0, 0x808080, 0x402000},
    {0xFF8000, 0x0080FF, 0x80FF00, 0x602080},
    {0xFFFFFF, 0x101010, 0xA05030, 0x30A050},
};

uint32_t PatternColour(int x, int y) {
  const int width = kPatternRect.right - kPatternRect.left;
  const int height = kPatternRect.bottom - kPatternRect.top;
  return kBlockColours[y * kBlocks / height][x * kBlocks / width];
}

const bool kPanelsLoaded = (feeds_test::AddInProcessPanelsEnvironment(2), true);

std::string Describe(const emu::CallRecord& call) { return feeds_test::DescribeCall(call); }

std::vector<std::string> Describe(const std::vector<emu::CallRecord>& calls) {
  std::vector<std::string> out;
  for (const emu::CallRecord& call : calls) out.push_back(Describe(call));
  return out;
}

std::vector<emu::CallRecord> Only(const std::vector<emu::CallRecord>& calls, const char* name) {
  std::vector<emu::CallRecord> out;
  for (const emu::CallRecord& call : calls) {
    if (call.name == name) out.push_back(call);
  }
  return out;
}

const std::string kFrameCall = "SetImage page=1 index=0 len=230400";

using feeds_test::FramePixel;

bool Near(uint32_t a, uint32_t b) {
  for (int shift = 0; shift <= 16; shift += 8) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
        kTolerance) {
      return false;
    }
  }
  return true;
}

// Pixels of the frame away from the blocks' edges (where halftone blends neighbours) that do not
// show the pattern; `skip` tells which pixels to leave out.
template <typename Skip>
int PatternMismatches(const std::vector<uint8_t>& frame, Skip skip, std::string& first) {
  const int blockWidth = kFrameWidth / kBlocks, blockHeight = kFrameHeight / kBlocks;
  int mismatches = 0;
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      const int bx = x % blockWidth, by = y % blockHeight;
      if (bx < 3 || bx > blockWidth - 4 || by < 3 || by > blockHeight - 4 || skip(x, y)) continue;
      const uint32_t want = kBlockColours[y / blockHeight][x / blockWidth];
      const uint32_t got = FramePixel(frame, x, y);
      if (!Near(got, want) && mismatches++ == 0) {
        char text[96];
        wsprintfA(text, "(%d,%d) is %06X, the pattern %06X", x, y, got, want);
        first = text;
      }
    }
  }
  return mismatches;
}

class LiveMonitor : public ::testing::Test {
 protected:
  void SetUp() override {
    serial_ = feeds_test::SerialOfSlot(kSlot);
    pattern_ = std::make_unique<feeds_test::PatternWindow>(kPatternRect, PatternColour);
    ASSERT_TRUE(pattern_->WaitUntilShown(5000)) << "the pattern window is not on the screen";
    ASSERT_TRUE(Panels().ClearFaults());
    ASSERT_TRUE(Panels().SetImageDelay(0));
    ASSERT_TRUE(Panels().SetInactivePagesRefuse(false));
    DeviceSlot& slot = Slot();
    slot.captureRect.left = kPatternRect.left;
    slot.captureRect.top = kPatternRect.top;
    slot.captureRect.right = kPatternRect.right;
    slot.captureRect.bottom = kPatternRect.bottom;
    slot.screenFlag = 1;
    slot.refreshDelay = 1;
    slot.showHints = 1;
    slot.buttonLights = 1;
    ASSERT_TRUE(Panels().ClearLog());
  }

  void TearDown() override {
    FailGlobalBufferAllocationsForTesting(0);
    Panels().SetImageDelay(0);
    StopWorker(kSlot);
    ASSERT_TRUE(driver::WaitUntil([&] { return Slot().workerThread.load() == nullptr; }, 10000));
    Slot().runningMode = kModeIdle;  // no watcher here returns an ended slot to idle
    ReleaseEndedWorkers();
    for (HANDLE h : kept_) CloseHandle(h);
    Panels().ClearFaults();
    Panels().SetInactivePagesRefuse(false);
  }

  DeviceSlot& Slot() { return Slots()->slots[kSlot]; }

  // Starts the worker and keeps a handle of our own to read its exit code later.
  HANDLE Start() {
    if (!StartWorker(kSlot, kModeLiveMonitor, LiveMonitorFeeder)) return nullptr;
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), Slot().ownedThread, GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    kept_.push_back(copy);
    return copy;
  }

  // Starts a worker that is expected to end by itself, and gives its exit code.
  DWORD StartAndWaitForTheEnd() {
    const HANDLE worker = Start();
    DWORD exitCode = STILL_ACTIVE;
    if (worker && WaitForSingleObject(worker, 5000) == WAIT_OBJECT_0) {
      GetExitCodeThread(worker, &exitCode);
    }
    return exitCode;
  }

  std::vector<emu::CallRecord> Calls() { return Panels().Log(serial_); }

  int FramesSent() {
    const std::vector<emu::CallRecord> calls = Calls();
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [](const auto& c) {
      return Describe(c) == kFrameCall && c.result >= 0;
    }));
  }

  // Waits for `count` frames sent after this call; the splash counts as none.
  bool WaitForNewFrames(int count, DWORD timeoutMs = 10000) {
    const int before = FramesSent();
    return WaitPumping([&] { return FramesSent() >= before + count; }, timeoutMs);
  }

  // After a start: the splash and the first captured frame have been sent.
  bool WaitUntilCapturing() {
    return WaitPumping([&] { return FramesSent() >= 2; }, 10000);
  }

  std::vector<uint8_t> Shown() { return Panels().Image(serial_, 1); }

  std::vector<bool> Leds() {
    const std::optional<emu::PanelInfo> panel = Panels().Panel(serial_);
    if (!panel || panel->pages.empty()) return {};
    return std::vector<bool>(panel->pages[0].leds, panel->pages[0].leds + 6);
  }

  // SetLed calls since the log was cleared, as "light:value".
  std::vector<std::string> LightCalls() {
    std::vector<std::string> out;
    for (const emu::CallRecord& call : Only(Calls(), "SetLed")) out.push_back(Describe(call));
    return out;
  }

  std::string serial_;
  std::unique_ptr<feeds_test::PatternWindow> pattern_;
  std::vector<HANDLE> kept_;
};

std::string Led(int light, int value) {
  return "SetLed page=1 index=" + std::to_string(light) + " value=" + std::to_string(value);
}

TEST_F(LiveMonitor, StartsWithSplashAndLightSweepThenFramesAndEndsWithABlankedRemovedPage) {
  const FrameBitmap splash = LoadFrameBitmap(ResourceModule(), IDB_SPLASH_LIVE);
  ASSERT_TRUE(splash) << "splash bitmap 233 missing from bin/Panelcast.exe";

  const HANDLE worker = Start();
  ASSERT_NE(worker, nullptr);
  // The splash is on the panel while the lights sweep.
  ASSERT_TRUE(WaitPumping([&] { return !Shown().empty(); }, 5000));
  EXPECT_TRUE(Shown() == std::vector<uint8_t>(splash.pixels, splash.pixels + splash.length))
      << "the first picture is not splash 233";
  ASSERT_TRUE(WaitForNewFrames(3));
  ASSERT_EQ(StopWorker(kSlot), StopResult::kStopped);
  DWORD exitCode = STILL_ACTIVE;
  GetExitCodeThread(worker, &exitCode);
  EXPECT_EQ(exitCode, kWorkerFinished);

  const std::vector<emu::CallRecord> calls = Calls();
  const std::vector<std::string> described = Describe(calls);
  ASSERT_TRUE(driver::CallsMatch(described, feeds_test::LiveMonitorRunCalls()));
  for (const emu::CallRecord& call : calls) EXPECT_GE(call.result, 0) << Describe(call);

  // Lights about 300 ms apart; the first frame only after the sweep.
  const std::vector<emu::CallRecord> leds = Only(calls, "SetLed");
  ASSERT_EQ(leds.size(), 6u);
  for (std::size_t i = 1; i < leds.size(); ++i) {
    const uint32_t gap = leds[i].tick - leds[i - 1].tick;
    EXPECT_GE(gap, 280u) << "between lights " << i << " and " << i + 1;
    EXPECT_LT(gap, 1000u) << "between lights " << i << " and " << i + 1;
  }
  constexpr std::size_t kFirstCapture = 10;  // after three set-up calls, the splash, six lights
  EXPECT_GE(calls[kFirstCapture].tick - leds.back().tick, 280u);
  EXPECT_EQ(Leds(), std::vector<bool>()) << "the page is gone";
}

TEST_F(LiveMonitor, FramesShowTheRectangleScaledWithTheLabelsOverTheLeftEdge) {
  const FrameBitmap hints = LoadFrameBitmap(ResourceModule(), IDB_HINTS_LIVE);
  ASSERT_TRUE(hints) << "hint bitmap 228 missing from bin/Panelcast.exe";
  ASSERT_GE(hints.length, kFrameBytes);
  auto isLabel = [&](int x, int y) { return feeds_test::IsLabelPixel(hints.pixels, x, y); };

  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(WaitUntilCapturing());
  std::vector<uint8_t> frame = Shown();
  ASSERT_EQ(frame.size(), kFrameBytes);
  const std::wstring dumped = driver::SaveFramePng(L"live_monitor_with_labels", frame);
  std::string first;
  EXPECT_EQ(PatternMismatches(frame, isLabel, first), 0)
      << "first: " << first << "; frame in " << std::string(dumped.begin(), dumped.end());
  // Every label byte is the hint bitmap's own, and labels lie in columns 1 to 42 only.
  EXPECT_TRUE(feeds_test::CarriesTheLabels(frame, hints.pixels));

  // Buttons 1 and 2 together take the labels away: the bare picture, left edge included.
  ASSERT_TRUE(Panels().SendButtons(serial_, 0x60));
  EXPECT_EQ(Slot().showHints.load(), 0);
  ASSERT_TRUE(WaitForNewFrames(2));
  frame = Shown();
  driver::SaveFramePng(L"live_monitor_bare", frame);
  EXPECT_EQ(PatternMismatches(frame, [](int, int) { return false; }, first), 0) << first;

  ASSERT_TRUE(Panels().SendButtons(serial_, 0x60));
  EXPECT_EQ(Slot().showHints.load(), 1);
  ASSERT_TRUE(WaitForNewFrames(2));
  frame = Shown();
  EXPECT_EQ(FramePixel(frame, 1, 7), 0u) << "the first label box's corner is black again";
}

TEST_F(LiveMonitor, TheSixButtonsSetTheDelayAndBlinkTheirLight) {
  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(WaitUntilCapturing());
  const uint32_t buttons[6] = {0x20, 0x40, 0x80, 0x100, 0x200, 0x400};
  for (int n = 1; n <= 6; ++n) {
    ASSERT_TRUE(Panels().ClearLog());
    ASSERT_TRUE(Panels().Click(serial_, buttons[n - 1]));
    EXPECT_EQ(Slot().refreshDelay.load(), n - 1) << "button " << n;
    EXPECT_TRUE(driver::CallsMatch(
        LightCalls(), (std::vector<std::string>{Led(n, 0), Led(n, 1), Led(n, 0), Led(n, 1),
                                                Led(n, 0), Led(n, 1)})))
        << "button " << n;
    EXPECT_EQ(Leds(), std::vector<bool>(6, true));
  }

  // With the lights switched off, a pressed button's light blinks and ends dark.
  ASSERT_TRUE(Panels().SendButtons(serial_, 0x180));
  ASSERT_TRUE(Panels().ClearLog());
  ASSERT_TRUE(Panels().Click(serial_, 0x80));
  EXPECT_EQ(Slot().refreshDelay.load(), 2);
  EXPECT_TRUE(driver::CallsMatch(
      LightCalls(), (std::vector<std::string>{Led(3, 0), Led(3, 1), Led(3, 0), Led(3, 1), Led(3, 0),
                                              Led(3, 1), Led(3, 0)})));
  EXPECT_EQ(Leds(), std::vector<bool>(6, false));
}

TEST_F(LiveMonitor, EncodersStepTheDelayAndWrapOnlyAtTheEndsOfTheButtonRange) {
  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(WaitUntilCapturing());
  ASSERT_TRUE(Panels().Click(serial_, 0x400));
  ASSERT_EQ(Slot().refreshDelay.load(), 5);
  ASSERT_TRUE(Panels().ClearLog());
  const struct {
    uint32_t bit;
    int32_t after;
  } steps[] = {{0x08, 0}, {0x02, 1}, {0x10, 0}, {0x04, 5}, {0x04, 4}, {0x08, 5}};
  for (const auto& step : steps) {
    ASSERT_TRUE(Panels().Step(serial_, step.bit));
    EXPECT_EQ(Slot().refreshDelay.load(), step.after) << "after step " << std::hex << step.bit;
  }
  // A delay above 5 from the main window steps on without wrapping.
  Slot().refreshDelay = 7;
  ASSERT_TRUE(Panels().Step(serial_, 0x08));
  EXPECT_EQ(Slot().refreshDelay.load(), 8);
  ASSERT_TRUE(Panels().Step(serial_, 0x10));
  ASSERT_TRUE(Panels().Step(serial_, 0x10));
  EXPECT_EQ(Slot().refreshDelay.load(), 6);
  EXPECT_TRUE(LightCalls().empty()) << "encoders change no light";
  // A button brings it back into range.
  ASSERT_TRUE(Panels().Click(serial_, 0x40));
  EXPECT_EQ(Slot().refreshDelay.load(), 1);
}

TEST_F(LiveMonitor, OnlyTheTwoChordsDoAnythingAndTheLightChordSetsAllSixLights) {
  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(WaitUntilCapturing());
  ASSERT_TRUE(Panels().ClearLog());
  for (uint32_t ignored : {0xA0u, 0x28u, 0x0Au, 0x60u | 0x80u}) {
    ASSERT_TRUE(Panels().SendButtons(serial_, ignored));
  }
  EXPECT_EQ(Slot().refreshDelay.load(), 1);
  EXPECT_EQ(Slot().showHints.load(), 1);
  EXPECT_EQ(Slot().buttonLights.load(), 1);
  EXPECT_TRUE(LightCalls().empty());

  ASSERT_TRUE(Panels().SendButtons(serial_, 0x180));
  EXPECT_EQ(Slot().buttonLights.load(), 0);
  EXPECT_TRUE(driver::CallsMatch(
      LightCalls(), (std::vector<std::string>{Led(1, 0), Led(2, 0), Led(3, 0), Led(4, 0), Led(5, 0),
                                              Led(6, 0)})));
  EXPECT_EQ(Leds(), std::vector<bool>(6, false));
  ASSERT_TRUE(Panels().SendButtons(serial_, 0x180));
  EXPECT_EQ(Slot().buttonLights.load(), 1);
  EXPECT_EQ(Leds(), std::vector<bool>(6, true));
  EXPECT_EQ(Slot().refreshDelay.load(), 1) << "chords leave the delay alone";
}

TEST_F(LiveMonitor, APageNotificationRestoresTheLightsToTheLightSwitch) {
  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(WaitUntilCapturing());
  ASSERT_TRUE(Panels().SendButtons(serial_, 0x180));  // lights off
  ASSERT_TRUE(Panels().SwitchPage(serial_, 0));        // another program's page...
  ASSERT_TRUE(Panels().ClearLog());
  ASSERT_TRUE(Panels().SwitchPage(serial_, 1));        // ...and back
  const std::vector<std::string> lights = LightCalls();
  ASSERT_EQ(lights.size(), 12u);
  EXPECT_EQ(std::vector<std::string>(lights.begin(), lights.begin() + 6),
            (std::vector<std::string>{Led(1, 1), Led(2, 1), Led(3, 1), Led(4, 1), Led(5, 1),
                                      Led(6, 1)}));
  EXPECT_EQ(Leds(), std::vector<bool>(6, false));
}

TEST_F(LiveMonitor, TheDelayChosenOnThePanelSpacesTheFrames) {
  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(WaitUntilCapturing());
  auto frameGaps = [&](int count) {
    std::vector<uint32_t> ticks;
    for (const emu::CallRecord& call : Calls()) {
      if (Describe(call) == kFrameCall) ticks.push_back(call.tick);
    }
    std::vector<uint32_t> gaps;
    for (std::size_t i = ticks.size() - count; i < ticks.size(); ++i) {
      gaps.push_back(ticks[i] - ticks[i - 1]);
    }
    return gaps;
  };

  ASSERT_TRUE(Panels().Click(serial_, 0x400));  // 500 ms
  ASSERT_TRUE(WaitForNewFrames(1));             // the pause begun before the press ends
  ASSERT_TRUE(Panels().ClearLog());
  ASSERT_TRUE(WaitForNewFrames(4));
  for (uint32_t gap : frameGaps(3)) EXPECT_GE(gap, 490u);

  ASSERT_TRUE(Panels().Click(serial_, 0x20));  // Live: no pause at all
  ASSERT_TRUE(WaitForNewFrames(1));
  ASSERT_TRUE(Panels().ClearLog());
  ASSERT_TRUE(WaitForNewFrames(6));
  for (uint32_t gap : frameGaps(5)) EXPECT_LT(gap, 250u);
}

TEST_F(LiveMonitor, ARefusedPageEndsTheWorkerAndTheWatcherFreesTheSlot) {
  feeds_test::PatternWindow mainWindow({0, 0, 10, 10}, [](int, int) { return 0u; });
  ASSERT_TRUE(StartDeadThreadWatcher(mainWindow.Window()));
  ASSERT_TRUE(Panels().Fault("AddPage", kFailure, false));
  EXPECT_EQ(StartAndWaitForTheEnd(), kWorkerGaveUp);
  EXPECT_EQ(Slot().workerThread.load(), nullptr);

  const DWORD ended = GetTickCount();
  MSG posted{};
  EXPECT_TRUE(driver::WaitUntil(
      [&] {
        return PeekMessageW(&posted, mainWindow.Window(), WorkerEndedMessage(),
                            WorkerEndedMessage(), PM_REMOVE) != FALSE;
      },
      2500));
  EXPECT_LT(GetTickCount() - ended, 1500u) << "the watcher looks every second";
  EXPECT_EQ(posted.wParam, static_cast<WPARAM>(kSlot));
  EXPECT_EQ(Slot().runningMode.load(), kModeIdle);
  EXPECT_EQ(Slot().runFlag.load(), 0);
  EXPECT_TRUE(driver::CallsMatch(Describe(Calls()),
            (std::vector<std::string>{"RegisterPageCallback ctx=\"Zivovi Panelcast\"",
                                      "RegisterSoftButtonCallback ctx=\"Zivovi Panelcast\"",
                                      "AddPage page=1 flags=1"})))
      << "nothing is shown on a panel that refused the page";
  StopAllWorkersTellingUser(mainWindow.Window());
}

TEST_F(LiveMonitor, AWorkerWithoutItsBuffersGivesUpAndTakesItsPageBack) {
  FailGlobalBufferAllocationsForTesting(1);
  EXPECT_EQ(StartAndWaitForTheEnd(), kWorkerGaveUp);
  const std::vector<std::string> calls = Describe(Calls());
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back(), "RemovePage page=1");
  EXPECT_EQ(std::count(calls.begin(), calls.end(), kFrameCall), 1) << "the splash only";
  EXPECT_TRUE(Panels().Panel(serial_)->pages.empty());

  // The next start on the panel is not refused for a page left behind.
  Slot().runningMode = kModeIdle;
  ASSERT_TRUE(Panels().ClearLog());
  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(WaitUntilCapturing());
  const std::vector<emu::CallRecord> adds = Only(Calls(), "AddPage");
  ASSERT_EQ(adds.size(), 1u);
  EXPECT_GE(adds[0].result, 0);
}

TEST_F(LiveMonitor, APanelThatRefusesFramesIsStillSentThemOnlyEveryHundredMilliseconds) {
  Slot().refreshDelay = 0;
  ASSERT_TRUE(Panels().SetInactivePagesRefuse(true));
  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(WaitForNewFrames(2));
  ASSERT_TRUE(Panels().SwitchPage(serial_, 0));  // another program's page is shown
  ASSERT_TRUE(Panels().ClearLog());
  auto refusedFrames = [&] {
    std::vector<emu::CallRecord> out;
    for (const emu::CallRecord& call : Calls()) {
      if (Describe(call) == kFrameCall && call.result < 0) out.push_back(call);
    }
    return out;
  };
  ASSERT_TRUE(WaitPumping([&] { return refusedFrames().size() >= 6; }, 5000));
  const std::vector<emu::CallRecord> refused = refusedFrames();
  for (std::size_t i = 1; i < refused.size(); ++i) {
    EXPECT_GE(refused[i].tick - refused[i - 1].tick, 95u) << "refused frame " << i;
  }
  ASSERT_TRUE(Panels().SwitchPage(serial_, 1));
  EXPECT_TRUE(WaitForNewFrames(2)) << "frames go through again once the page is back";
}

TEST_F(LiveMonitor, AStopWhileThePanelStallsASendTimesOutAndTheWorkerEndsLater) {
  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(WaitUntilCapturing());
  ASSERT_TRUE(Panels().SetImageDelay(6000));
  EXPECT_EQ(StopWorker(kSlot), StopResult::kTimedOut);
  EXPECT_NE(Slot().workerThread.load(), nullptr);
  ASSERT_TRUE(Panels().SetImageDelay(0));
  EXPECT_TRUE(driver::WaitUntil([&] { return Slot().workerThread.load() == nullptr; }, 15000))
      << "the worker clears its handle once the panel lets go";
  const std::vector<std::string> calls = Describe(Calls());
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls.back(), "RemovePage page=1");
}

}  // namespace
}  // namespace panelcast
