// Workers' stops and the dead-thread watcher where no window shows them: the slots' fields, the
// threads' handles and exit codes. Driven as the main window drives them, from a thread that owns
// a window, with stand-in workers that run until stopped (R), give up at once (G), stall when
// stopped (S) or talk to the main window while it waits for them (C).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "devices/slot_table.h"
#include "feeds/worker_supervision.h"
#include "tests/driver/wait.h"

namespace panelcast {
namespace {

constexpr UINT kChatMessage = WM_APP + 1, kQueuedMessage = WM_APP + 2;
SlotTable g_table;
std::atomic<HANDLE> g_release{nullptr};  // stalled workers wait for it
std::atomic<HWND> g_mainWindow{nullptr};
std::atomic<int> g_chatAnswers{0}, g_endedSlot{-1}, g_endedCount{0};  // WorkerEndedMessage
std::string g_kinds;  // the routine letter of each slot's worker

DWORD WINAPI Worker(void* argument) {
  const int index = SlotIndexFromArgument(argument);
  DeviceSlot& slot = Slots()->slots[index];
  if (g_kinds[index] == 'G') return EndWorker(slot, kWorkerGaveUp);
  while (slot.runFlag.load() == 1) Sleep(5);
  if (g_kinds[index] == 'S') WaitForSingleObject(g_release.load(), INFINITE);
  if (g_kinds[index] == 'C') g_chatAnswers += SendMessageW(g_mainWindow, kChatMessage, 0, 0) == 42;
  return EndWorker(slot, kWorkerFinished);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kChatMessage) return 42;
  if (message == WorkerEndedMessage()) g_endedSlot = static_cast<int>(wParam), ++g_endedCount;
  return DefWindowProcW(window, message, wParam, lParam);
}

class WorkerSupervision : public ::testing::Test {
 protected:
  void SetUp() override {
    static const ATOM windowClass = [] {
      WNDCLASSW c{};
      c.lpfnWndProc = MainWindowProc;
      c.hInstance = GetModuleHandleW(nullptr);
      c.lpszClassName = L"PanelcastSupervisionTest";
      return RegisterClassW(&c);
    }();
    for (DeviceSlot& slot : g_table.slots) ResetSlotSettings(slot, 1920, 1080, L"C:\\");
    PublishSlots(&g_table);
    g_mainWindow = main_ = CreateWindowW(MAKEINTATOM(windowClass), L"", WS_OVERLAPPED, 0, 0, 100,
                                         100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    g_release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_endedSlot = -1, g_endedCount = 0, g_chatAnswers = 0;
    g_kinds.assign(kMaxDevices, 'R');
  }
  void TearDown() override {
    SetEvent(g_release.load());
    StopAllWorkers(main_, nullptr);
    for (HANDLE h : kept_) CloseHandle(h);
    kept_.clear();
    CloseHandle(g_release.exchange(nullptr));
    DestroyWindow(main_);
  }

  DeviceSlot& Slot(int i) { return g_table.slots[i]; }
  // Starts a worker of `kind` on slot `i`, with a handle of our own to read its exit code later.
  HANDLE Start(int i, char kind) {
    g_kinds[i] = kind;
    HANDLE copy = nullptr;
    if (StartWorker(i, kModeLiveMonitor, Worker)) {
      DuplicateHandle(GetCurrentProcess(), Slot(i).ownedThread, GetCurrentProcess(), &copy, 0,
                      FALSE, DUPLICATE_SAME_ACCESS);
      kept_.push_back(copy);
    }
    return copy;
  }
  bool IsIdle(int i) {
    return !Slot(i).workerThread.load() && Slot(i).runningMode.load() == kModeIdle &&
           Slot(i).runFlag.load() == 0 && !Slot(i).ownedThread;
  }

  HWND main_ = nullptr;
  std::vector<HANDLE> kept_;
};

// Each row starts workers on slots 0, 1, ... and takes its steps: s (slot 0's STOP), r (the stalled
// let go), w (the watcher's return of slot 0), m (a removal's stop), x (the stop at exit, whose
// message the end-to-end tests show). Then every slot is idle with its handle closed, each worker
// ended with its exit code, and a message posted before is queued: waits serve sent ones only.
TEST_F(WorkerSupervision, StopsEndEveryWorkerAndCloseItsHandle) {
  const struct {
    const char* what;
    const char* workers;    // a routine letter per slot
    const char* steps;
    const char* exitCodes;  // a digit per slot
  } cases[] = {
      {"STOP serves what the worker sends", "C", "s", "0"},
      {"a worker that gave up keeps its slot until the watcher returns it", "G", "w", "1"},
      {"a STOP that times out leaves the slot stopping; a removal closes the handle of the worker "
       "that ended afterwards", "S", "srm", "0"},
      {"a removal ends a stalled worker by force", "RS", "m", "01"},
      {"Exit ends only the stalled worker by force, and the watcher", "RSR", "x", "010"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    std::vector<HANDLE> workers, owned;
    for (int i = 0; c.workers[i]; ++i) {
      ASSERT_NE(workers.emplace_back(Start(i, c.workers[i])), nullptr);
      // One worker a slot; one that gave up keeps its slot until the watcher returns it.
      EXPECT_FALSE(StartWorker(i, kModeLiveMonitor, Worker));
      owned.push_back(Slot(i).ownedThread);
    }
    ASSERT_TRUE(StartDeadThreadWatcher(main_));
    PostMessageW(main_, kQueuedMessage, 0, 0);
    for (const char* step = c.steps; *step; ++step) {
      if (*step == 's' && c.workers[0] != 'S') {
        EXPECT_EQ(StopWorker(0), StopResult::kStopped);
      } else if (*step == 's') {
        EXPECT_EQ(StopWorker(0), StopResult::kTimedOut);
        EXPECT_TRUE(Slot(0).workerThread.load() && !Slot(0).runFlag && !Slot(0).runningMode);
        EXPECT_FALSE(StartWorker(0, kModeLiveMonitor, Worker)) << "still stopping";
      } else if (*step == 'r') {
        SetEvent(g_release.load());
        EXPECT_EQ(WaitForSingleObject(workers[0], 5000), WAIT_OBJECT_0);
        EXPECT_EQ(Slot(0).workerThread.load(), nullptr) << "the worker clears its handle itself";
      } else if (*step == 'w') {
        const UINT ended = WorkerEndedMessage();  // handled as the main thread handles it
        EXPECT_TRUE(driver::WaitUntil([&] {
          for (MSG m; PeekMessageW(&m, main_, ended, ended, PM_REMOVE);) DispatchMessageW(&m);
          return g_endedCount.load() == 1;
        }, 2500));
        EXPECT_EQ(g_endedSlot.load(), 0);
        ReleaseEndedWorkers();
      } else if (*step == 'm') {
        WatcherHold hold;
        StopWorkersForRemoval();
      } else if (*step == 'x') {
        StopAllWorkers(main_, nullptr);
      }
    }
    std::string exitCodes;
    for (std::size_t i = 0; i < workers.size(); ++i) {
      DWORD code = STILL_ACTIVE, flags = 0;
      GetExitCodeThread(workers[i], &code);
      exitCodes += static_cast<char>('0' + code);
      EXPECT_TRUE(IsIdle(i) && !GetHandleInformation(owned[i], &flags)) << "slot " << i;
    }
    EXPECT_EQ(exitCodes, c.exitCodes);
    // (Checked last: the new thread's handle may take the value of one closed.)
    EXPECT_TRUE(!strchr(c.steps, 'x') || StartDeadThreadWatcher(main_)) << "the watcher ended";
    EXPECT_EQ(g_chatAnswers.load(), c.workers[0] == 'C' ? 1 : 0);
    MSG queued;
    EXPECT_TRUE(PeekMessageW(&queued, main_, kQueuedMessage, kQueuedMessage, PM_REMOVE));
  }
}

}  // namespace
}  // namespace panelcast
