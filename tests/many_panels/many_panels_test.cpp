// Many panels at once, started through the main window: three live monitors through a storm of
// arrivals and removals, then thirty for a minute while neither the program's threads nor its
// memory grow, each panel shows its own picture, and Exit still ends it.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>  // after windows.h
#include <tlhelp32.h>

#include <algorithm>

#include "tests/feeds/frame_checks.h"
#include "tests/live/live_test_support.h"

namespace shelltest {
namespace {

// What Wine lets one measure of another process (handle and GUI resource counts read 0).
int ThreadCount(DWORD pid) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  int count = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    count += entry.th32OwnerProcessID == pid;
  }
  CloseHandle(snapshot);
  return count;
}

std::size_t CommittedBytes(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  PROCESS_MEMORY_COUNTERS_EX counters{};
  auto* read = reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters);
  if (!process || !GetProcessMemoryInfo(process, read, sizeof(counters))) counters = {};
  if (process) CloseHandle(process);
  return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

std::string Serial(int line) { return (line < 9 ? "EMU000" : "EMU00") + std::to_string(line + 1); }

// Thirty cells in a grid, each with a left half of its own colour and a white right half, so a
// panel showing another's cell, or its own mirrored, shows the wrong colours.
constexpr int kPanels = 30, kCellWidth = 64, kCellHeight = 48, kColumns = 10;

RECT Cell(int index) {
  const LONG left = (index % kColumns) * kCellWidth, top = (index / kColumns) * kCellHeight;
  return {left, top, left + kCellWidth, top + kCellHeight};
}

uint32_t CellColour(int index) { return (index / 6) * 0x300000u + (index % 6) * 0x3000u + 0x80; }

// The minute: six windows of ten seconds. At a 100 ms delay a panel gets 75 to 92 frames in a
// window with thirty; a live one gets at least 5 even on a loaded machine, a stalled one none.
constexpr int kWindows = 6, kMinFramesPerWindow = 5;
// After the second window the committed memory stays within 50 KB, the stand-in's call log
// (cleared every window) varying by 100 KB; 100 bytes a frame over the last 11000 frames exceed it.
constexpr std::size_t kMemoryGrowthBound = 1024 * 1024;
constexpr int kFastestStep = 1;  // 100 ms, the shortest delay without the load warning

TEST_F(Shell, ThreeThroughAStormOfArrivalsAndRemovalsThenThirtyForAMinute) {
  livetest::ScreenPattern grid(
      {0, 0, kColumns * kCellWidth, (kPanels / kColumns) * kCellHeight}, [](int x, int y) {
        return x % kCellWidth < kCellWidth / 2
                   ? CellColour(y / kCellHeight * kColumns + x / kCellWidth)
                   : 0xFFFFFFu;
      });
  ASSERT_TRUE(grid.Shown());
  constexpr int kRunning = 3;
  ASSERT_TRUE(Start(SerialList(kRunning), true));
  const int idleThreads = ThreadCount(Pid());
  ASSERT_TRUE(Panels().SetChangesApart(true));  // each told on a thread of its own
  for (int line = 0; line < kRunning; ++line) {
    ASSERT_TRUE(livetest::StartLiveMonitorOn(Main(), line, Cell(line), kFastestStep));
  }
  ASSERT_FALSE(livetest::NextFrame(Panels(), Serial(kRunning - 1)).empty());

  // Fifty others arrive and leave: every removal stops the three, and the list, the panels and
  // the threads come back to what they were, without a message.
  int events = 0;
  for (int i = 0; i < 50; ++i) {
    const std::string serial = "STORM" + std::to_string(10 + i);
    events += Panels().AddPanel(serial) + Panels().RemovePanel(serial);
  }
  EXPECT_EQ(events, 100);
  EXPECT_TRUE(driver::WaitUntil([&] { return ListLines(Main()).size() == kRunning; }, kTimeoutMs));
  EXPECT_EQ(Panels().Panels().size(), static_cast<std::size_t>(kRunning));
  EXPECT_TRUE(NoMessageBoxFor(Pid(), 300));
  EXPECT_TRUE(driver::WaitUntil([&] { return ThreadCount(Pid()) <= idleThreads; }, kTimeoutMs));

  // Thirty, each started on its own cell, past their start: the splash and a capture.
  for (int line = kRunning; line < kPanels; ++line) ASSERT_TRUE(Panels().AddPanel(Serial(line)));
  ASSERT_TRUE(driver::WaitUntil([&] { return ListLines(Main()).size() == kPanels; }, kTimeoutMs));
  for (int line = 0; line < kPanels; ++line) {
    ASSERT_TRUE(livetest::StartLiveMonitorOn(Main(), line, Cell(line), kFastestStep)) << line;
  }
  const auto frames = [&] {  // page 1's images of each panel so far, in one request
    std::vector<int64_t> counts(kPanels);  // a panel gone has none
    for (const emu::PanelInfo& panel : Panels().Panels()) {
      for (const emu::PageInfo& page : panel.pages) {
        if (page.number == 1) counts.at(std::stoi(panel.serial.substr(3)) - 1) = page.imageCount;
      }
    }
    return counts;
  };
  const auto fewest = [](const std::vector<int64_t>& counts) {
    return *std::min_element(counts.begin(), counts.end());
  };
  ASSERT_TRUE(driver::WaitUntil([&] { return fewest(frames()) >= 2; }, 30000, 200));

  // The stand-in keeps every call in memory: forgotten at each window's end, its share stays level.
  ASSERT_TRUE(Panels().ClearLog());
  auto previous = frames();
  int firstThreads = 0;
  std::size_t firstMemory = 0, mostMemory = 0;
  for (int window = 1; window <= kWindows; ++window) {
    // Measured before the test's requests, each served on a thread of its own for a moment; the
    // memory as the lower of two readings a second apart, as one may catch a passing allocation.
    EXPECT_TRUE(NoMessageBoxFor(Pid(), 9000)) << "a message box in window " << window;
    const std::size_t earlier = CommittedBytes(Pid());
    EXPECT_TRUE(NoMessageBoxFor(Pid(), 1000)) << "a message box in window " << window;
    const int threads = ThreadCount(Pid());
    const std::size_t memory = std::min(earlier, CommittedBytes(Pid()));
    ASSERT_TRUE(threads > kPanels && memory > 0) << threads << " threads, " << memory << " bytes";
    if (window == 1) firstThreads = threads;
    if (window == 2) firstMemory = memory;
    mostMemory = std::max(mostMemory, window >= 2 ? memory : 0);
    EXPECT_EQ(threads, firstThreads) << "window " << window;  // none added, none lost
    const auto counts = frames();
    std::vector<int64_t> received(kPanels);
    for (int line = 0; line < kPanels; ++line) received[line] = counts[line] - previous[line];
    previous = counts;
    const int64_t slowest = fewest(received);
    EXPECT_GE(slowest, kMinFramesPerWindow) << "frames of the slowest panel in window " << window;
    ASSERT_TRUE(Panels().ClearLog());
    std::printf("[ figures  ] %2d s: at least %lld frames a panel, %d threads, %zu KB committed\n",
                window * 10, static_cast<long long>(slowest), threads, memory / 1024);
  }
  EXPECT_LE(mostMemory, firstMemory + kMemoryGrowthBound) << "bytes committed in window 2";
  // Each its own cell within a few frames: one may catch the screen while X repaints it.
  for (int line = 0; line < kPanels; ++line) {
    const auto own = [&] {
      const std::vector<uint8_t> frame = Panels().Image(Serial(line), 1);
      return frame.size() == emu::kFrameBytes &&
             driver::Near(feeds_test::FramePixel(frame, 80, 120), CellColour(line), 16) &&
             driver::Near(feeds_test::FramePixel(frame, 240, 120), 0xFFFFFF, 16);
    };
    EXPECT_TRUE(driver::WaitUntil(own, 5000, 100)) << Serial(line);
  }

  driver::Click(Main(), IDC_EXIT);
  ExpectEnd(*session_->program, 0, {driver::OneOrMore("RemovePage"), "Deinitialize"});
}

}  // namespace
}  // namespace shelltest
