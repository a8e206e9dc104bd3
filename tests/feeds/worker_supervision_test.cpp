// Starting and stopping workers, the dead-thread watcher and the stops at a removal and at exit,
// where no window shows them: the slots' fields, the threads' handles and exit codes. Driven as
// the main window drives them, from a thread that owns a window, with stand-in workers that run
// until stopped (R), give up at once (G), stall when stopped (S) or talk to the main window while
// it waits for them (C).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

#include "app/stop_messages.h"
#include "devices/slot_table.h"
#include "feeds/worker_supervision.h"
#include "tests/driver/message_boxes.h"
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
  if (g_kinds[index] == 'C' && SendMessageW(g_mainWindow.load(), kChatMessage, 0, 0) == 42) {
    ++g_chatAnswers;
  }
  return EndWorker(slot, kWorkerFinished);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kChatMessage) return 42;
  if (message == WorkerEndedMessage()) g_endedSlot = static_cast<int>(wParam), ++g_endedCount;
  return DefWindowProcW(window, message, wParam, lParam);
}

DWORD ExitCodeOf(HANDLE thread) {
  DWORD code = STILL_ACTIVE;
  GetExitCodeThread(thread, &code);
  return code;
}

// Waits for `condition` while this thread, as the main thread, handles its window's messages.
bool WaitPumping(const std::function<bool()>& condition, DWORD timeoutMs) {
  MSG message;
  return driver::WaitUntil([&] {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    return condition();
  }, timeoutMs);
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
    StopAllWorkersTellingUser(main_);
    for (HANDLE h : kept_) CloseHandle(h);
    kept_.clear();
    CloseHandle(g_release.exchange(nullptr));
    DestroyWindow(main_);
  }

  DeviceSlot& Slot(int i) { return g_table.slots[i]; }
  // Starts a worker of `kind` on slot `i`, with a handle of our own to read its exit code later.
  HANDLE Start(int i, char kind, FeedMode mode = kModeLiveMonitor) {
    g_kinds[i] = kind;
    HANDLE copy = nullptr;
    if (StartWorker(i, mode, Worker)) {
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

// Each row starts its workers on slots 0, 1, ... and takes its steps: s (slot 0's STOP),
// r (the stalled workers let go), c (ReleaseEndedWorkers), m (a removal's stop), x (the stop at
// exit). Then every worker has ended with its exit code, every slot is idle with its handle
// closed, and a message posted to the main window before is still queued unless a box came.
TEST_F(WorkerSupervision, StopsEndEveryWorkerAndCloseItsHandle) {
  const struct {
    const char* what;
    const char* workers;  // a routine letter per slot
    const char* steps;
    const char* exitCodes;  // a digit per slot
    bool box;               // the one message of a stop at exit
  } cases[] = {
      {"STOP serves what the worker sends", "C", "s", "0"},
      {"a STOP that times out leaves the slot stopping until the worker ends", "S", "src", "0"},
      {"a removal closes the handle of a worker that ended after its STOP timed out", "S", "srm",
       "0"},
      {"a removal ends a stalled worker by force, silently", "RS", "m", "01"},
      {"Exit ends only the stalled worker by force, after one message", "RSR", "x", "010", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    const int count = static_cast<int>(strlen(c.workers));
    std::vector<HANDLE> workers, owned;
    for (int i = 0; i < count; ++i) {
      ASSERT_NE(workers.emplace_back(Start(i, c.workers[i])), nullptr);
      owned.push_back(Slot(i).ownedThread);
    }
    ASSERT_TRUE(StartDeadThreadWatcher(main_));
    PostMessageW(main_, kQueuedMessage, 0, 0);
    std::atomic<bool> done{false};
    std::optional<driver::MessageBoxInfo> box;
    std::thread answerer([&] {
      const DWORD pid = GetCurrentProcessId();
      if (driver::WaitUntil([&] { return done || !driver::MessageBoxWindows(pid).empty(); },
                            20000) && !done) {
        box = driver::AnswerNextMessageBox(pid, IDOK, 5000);
      }
    });
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
      } else if (*step == 'c') {
        ReleaseEndedWorkers();
      } else if (*step == 'm') {
        WatcherHold hold;
        StopWorkersForRemoval();
      } else {
        StopAllWorkersTellingUser(main_);
        EXPECT_TRUE(StartDeadThreadWatcher(main_)) << "the watcher has ended";
      }
    }
    done = true;
    answerer.join();
    EXPECT_EQ(box.has_value(), c.box);
    std::string exitCodes;
    for (int i = 0; i < count; ++i) {
      exitCodes += static_cast<char>('0' + ExitCodeOf(workers[i]));
      EXPECT_TRUE(IsIdle(i)) << "slot " << i;
      // (A message box makes handles of its own, which may take the values of those closed.)
      DWORD flags = 0;
      EXPECT_TRUE(c.box || !GetHandleInformation(owned[i], &flags)) << "slot " << i << "'s handle";
    }
    EXPECT_EQ(exitCodes, c.exitCodes);
    EXPECT_EQ(g_chatAnswers.load(), c.workers[0] == 'C' ? 1 : 0);
    MSG queued;
    EXPECT_EQ(PeekMessageW(&queued, main_, kQueuedMessage, kQueuedMessage, PM_REMOVE) != FALSE,
              !c.box);
    EXPECT_EQ(StopWorker(0), StopResult::kNoWorker);
  }
}

TEST_F(WorkerSupervision, StartAndTheWatcher) {
  ASSERT_TRUE(Start(2, 'R'));
  EXPECT_FALSE(StartWorker(2, kModeLiveMonitor, Worker)) << "one worker per slot";

  // A worker that gives up at once: its clearing of workerThread was not overwritten by the
  // start, and its slot is not idle until the watcher has returned it.
  const HANDLE quitter = Start(5, 'G', kModeGpsGauge);
  ASSERT_TRUE(driver::WaitUntil([&] { return ExitCodeOf(quitter) == kWorkerGaveUp; }, 5000));
  EXPECT_EQ(Slot(5).workerThread.load(), nullptr);
  EXPECT_EQ(Slot(5).runningMode.load(), kModeGpsGauge);
  EXPECT_FALSE(StartWorker(5, kModeGpsGauge, Worker));
  EXPECT_EQ(StopWorker(5), StopResult::kNoWorker);
  {
    WatcherHold hold;  // a held watcher makes no scan
    ASSERT_TRUE(StartDeadThreadWatcher(main_));
    EXPECT_FALSE(StartDeadThreadWatcher(main_)) << "started once";
    EXPECT_FALSE(WaitPumping([] { return g_endedCount.load() > 0; }, 2500));
  }
  // It looks every second, returns the slot to idle and tells the main window.
  const DWORD released = GetTickCount();
  ASSERT_TRUE(WaitPumping([] { return g_endedCount.load() == 1; }, 2500));
  EXPECT_LT(GetTickCount() - released, 1500u);
  EXPECT_EQ(g_endedSlot.load(), 5);
  ReleaseEndedWorkers();
  EXPECT_TRUE(IsIdle(5));
  // A slot the user stopped is never the watcher's business.
  EXPECT_EQ(StopWorker(2), StopResult::kStopped);
  EXPECT_FALSE(WaitPumping([] { return g_endedCount.load() > 1; }, 1500));
}

}  // namespace
}  // namespace panelcast
