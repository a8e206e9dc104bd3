// Starting and stopping workers, the dead-thread watcher and the stops at exit and at a removal,
// driven as the main window drives them: from a thread that owns a window, with stand-in worker
// routines that behave as well-mannered, quitting, stalling or chatty workers do.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "app/stop_messages.h"
#include "base/messages.h"
#include "devices/slot_table.h"
#include "feeds/worker_supervision.h"
#include "tests/driver/message_boxes.h"
#include "tests/driver/wait.h"

namespace panelcast {
namespace {

constexpr UINT kChatMessage = WM_APP + 1;
constexpr UINT kQueuedMessage = WM_APP + 2;

std::atomic<HANDLE> g_release{nullptr};  // stalled workers wait for it; set by the test
std::atomic<HWND> g_mainWindow{nullptr};
std::atomic<int> g_chatAnswers{0};
std::atomic<int> g_workerEndedSlot{-1};  // wParam of the last WorkerEndedMessage
std::atomic<int> g_workerEndedCount{0};

// What a worker saw of its slot at its first instruction.
std::atomic<HANDLE> g_seenThread{nullptr};
std::atomic<int32_t> g_seenRunFlag{0};
std::atomic<uint16_t> g_seenMode{0};

DeviceSlot& SlotOf(void* argument) { return Slots()->slots[SlotIndexFromArgument(argument)]; }

void WaitWhileRunning(const DeviceSlot& slot) {
  while (slot.runFlag.load() == 1) Sleep(5);
}

DWORD WINAPI RunsUntilStopped(void* argument) {
  DeviceSlot& slot = SlotOf(argument);
  g_seenThread = slot.workerThread.load();
  g_seenRunFlag = slot.runFlag.load();
  g_seenMode = slot.runningMode.load();
  WaitWhileRunning(slot);
  return EndWorker(slot, kWorkerFinished);
}

DWORD WINAPI GivesUpAtOnce(void* argument) { return EndWorker(SlotOf(argument), kWorkerGaveUp); }

// Ignores the stop until the test releases it.
DWORD WINAPI StallsWhenStopped(void* argument) {
  DeviceSlot& slot = SlotOf(argument);
  WaitWhileRunning(slot);
  WaitForSingleObject(g_release.load(), INFINITE);
  return EndWorker(slot, kWorkerFinished);
}

// Talks to the main window, which is waiting for it, before it ends.
DWORD WINAPI SendsToMainWindowWhenStopped(void* argument) {
  DeviceSlot& slot = SlotOf(argument);
  WaitWhileRunning(slot);
  if (SendMessageW(g_mainWindow.load(), kChatMessage, 0, 0) == 42) ++g_chatAnswers;
  return EndWorker(slot, kWorkerFinished);
}

LRESULT CALLBACK TestMainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kChatMessage) return 42;
  if (message == WorkerEndedMessage()) {
    g_workerEndedSlot = static_cast<int>(wParam);
    ++g_workerEndedCount;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// Waits for `condition` while the test thread, as the main thread, handles its window's messages.
bool WaitPumping(const std::function<bool()>& condition, DWORD timeoutMs) {
  return driver::WaitUntil([&] { PumpMessages(); return condition(); }, timeoutMs);
}

DWORD ExitCodeOf(HANDLE thread) {
  DWORD code = STILL_ACTIVE;
  GetExitCodeThread(thread, &code);
  return code;
}

bool HasEnded(HANDLE thread) { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }

class WorkerSupervision : public ::testing::Test {
 protected:
  void SetUp() override {
    table_ = std::make_unique<SlotTable>();
    for (int i = 0; i < kMaxDevices; ++i) {
      ResetSlotSettings(table_->slots[i], 1920, 1080, L"C:\\");
      table_->slots[i].device = reinterpret_cast<directoutput::DeviceHandle>(intptr_t{0x100 + i});
    }
    PublishSlots(table_.get());
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = TestMainWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"PanelcastSupervisionTest";
    RegisterClassW(&windowClass);
    mainWindow_ = CreateWindowW(L"PanelcastSupervisionTest", L"supervision test", WS_OVERLAPPED,
                                0, 0, 100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(mainWindow_, nullptr);
    g_mainWindow = mainWindow_;
    g_release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_workerEndedSlot = -1;
    g_workerEndedCount = 0;
    g_chatAnswers = 0;
  }

  void TearDown() override {
    SetEvent(g_release.load());
    StopAllWorkersTellingUser(mainWindow_);
    for (HANDLE h : kept_) CloseHandle(h);
    CloseHandle(g_release.exchange(nullptr));
    DestroyWindow(mainWindow_);
    PublishSlots(nullptr);
  }

  DeviceSlot& Slot(int i) { return table_->slots[i]; }

  // A handle of the slot's worker of our own, to read its exit code after the slot let go.
  HANDLE KeepHandle(int i) {
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), Slot(i).workerThread.load(), GetCurrentProcess(), &copy,
                    0, FALSE, DUPLICATE_SAME_ACCESS);
    kept_.push_back(copy);
    return copy;
  }

  bool IsIdle(int i) {
    return Slot(i).workerThread.load() == nullptr && Slot(i).runningMode.load() == kModeIdle &&
           Slot(i).runFlag.load() == 0;
  }

  std::unique_ptr<SlotTable> table_;
  HWND mainWindow_ = nullptr;
  std::vector<HANDLE> kept_;
};

TEST_F(WorkerSupervision, StartStoresTheSlotFieldsBeforeTheWorkerReadsThem) {
  ASSERT_TRUE(StartWorker(2, kModeLiveMonitor, RunsUntilStopped));
  const HANDLE thread = Slot(2).workerThread.load();
  ASSERT_TRUE(driver::WaitUntil([] { return g_seenThread.load() != nullptr; }, 5000));
  EXPECT_EQ(g_seenThread.load(), thread);
  EXPECT_EQ(g_seenRunFlag.load(), 1);
  EXPECT_EQ(g_seenMode.load(), kModeLiveMonitor);
  EXPECT_FALSE(StartWorker(2, kModeLiveMonitor, RunsUntilStopped)) << "one worker per slot";
  EXPECT_EQ(Slot(2).workerThread.load(), thread);
}

TEST_F(WorkerSupervision, AWorkerThatGivesUpAtOnceLeavesItsSlotEndedByItself) {
  ASSERT_TRUE(StartWorker(5, kModeGpsGauge, GivesUpAtOnce));
  const HANDLE worker = KeepHandle(5);
  ASSERT_TRUE(driver::WaitUntil([&] { return HasEnded(worker); }, 5000));
  // Its clearing of workerThread was not overwritten by the start.
  EXPECT_EQ(Slot(5).workerThread.load(), nullptr);
  EXPECT_EQ(Slot(5).runningMode.load(), kModeGpsGauge);
  EXPECT_EQ(ExitCodeOf(worker), kWorkerGaveUp);
  EXPECT_FALSE(StartWorker(5, kModeGpsGauge, GivesUpAtOnce))
      << "an ended slot is not idle until the watcher has returned it";
  EXPECT_EQ(StopWorker(5), StopResult::kNoWorker);
}

TEST_F(WorkerSupervision, StopEndsTheWorkerAndFreesTheSlot) {
  EXPECT_EQ(StopWorker(1), StopResult::kNoWorker);
  ASSERT_TRUE(StartWorker(1, kModeLiveMonitor, RunsUntilStopped));
  const HANDLE worker = KeepHandle(1);
  EXPECT_EQ(StopWorker(1), StopResult::kStopped);
  EXPECT_TRUE(IsIdle(1));
  EXPECT_EQ(Slot(1).ownedThread, nullptr) << "the slot's handle is closed";
  EXPECT_EQ(ExitCodeOf(worker), kWorkerFinished);
  EXPECT_TRUE(StartWorker(1, kModeLiveMonitor, RunsUntilStopped)) << "idle again";
}

TEST_F(WorkerSupervision, AStopThatTimesOutLeavesTheSlotStoppingUntilTheWorkerEnds) {
  ASSERT_TRUE(StartWorker(0, kModeFsxLiveView, StallsWhenStopped));
  const HANDLE worker = KeepHandle(0);
  EXPECT_EQ(StopWorker(0), StopResult::kTimedOut);
  EXPECT_NE(Slot(0).workerThread.load(), nullptr);
  EXPECT_EQ(Slot(0).runFlag.load(), 0);
  EXPECT_EQ(Slot(0).runningMode.load(), kModeIdle);
  EXPECT_FALSE(StartWorker(0, kModeFsxLiveView, RunsUntilStopped)) << "still stopping";

  SetEvent(g_release.load());
  ASSERT_TRUE(driver::WaitUntil([&] { return HasEnded(worker); }, 5000));
  EXPECT_EQ(Slot(0).workerThread.load(), nullptr) << "the worker clears its handle itself";
  ReleaseEndedWorkers();
  EXPECT_EQ(Slot(0).ownedThread, nullptr);
  EXPECT_EQ(StopWorker(0), StopResult::kNoWorker);
}

TEST_F(WorkerSupervision, ARemovalClosesTheHandleOfAWorkerThatEndedAfterItsStopTimedOut) {
  ASSERT_TRUE(StartWorker(0, kModeLiveMonitor, StallsWhenStopped));
  const HANDLE worker = KeepHandle(0);
  ASSERT_EQ(StopWorker(0), StopResult::kTimedOut);
  SetEvent(g_release.load());
  ASSERT_TRUE(driver::WaitUntil([&] { return HasEnded(worker); }, 5000));
  const HANDLE owned = Slot(0).ownedThread;
  ASSERT_NE(owned, nullptr);
  {
    WatcherHold hold;
    StopWorkersForRemoval();
  }
  // The slots move over this one next: a handle still here would be lost.
  EXPECT_EQ(Slot(0).ownedThread, nullptr);
  DWORD flags = 0;
  EXPECT_FALSE(GetHandleInformation(owned, &flags)) << "the worker's handle is still open";
}

TEST_F(WorkerSupervision, AStopServesMessagesTheWorkerSendsButKeepsPostedOnesQueued) {
  ASSERT_TRUE(StartWorker(3, kModeLiveMonitor, SendsToMainWindowWhenStopped));
  PostMessageW(mainWindow_, kQueuedMessage, 7, 0);
  EXPECT_EQ(StopWorker(3), StopResult::kStopped);
  EXPECT_EQ(g_chatAnswers.load(), 1);
  MSG queued;
  EXPECT_TRUE(PeekMessageW(&queued, mainWindow_, kQueuedMessage, kQueuedMessage, PM_REMOVE));
}

TEST_F(WorkerSupervision, TheWatcherReturnsAnEndedSlotToIdleAndTellsTheMainWindow) {
  ASSERT_TRUE(StartDeadThreadWatcher(mainWindow_));
  EXPECT_FALSE(StartDeadThreadWatcher(mainWindow_)) << "started once";
  ASSERT_TRUE(StartWorker(4, kModeGpsGauge, GivesUpAtOnce));
  ASSERT_TRUE(WaitPumping([] { return g_workerEndedCount.load() == 1; }, 2500));
  EXPECT_EQ(g_workerEndedSlot.load(), 4);
  EXPECT_TRUE(IsIdle(4));
  ReleaseEndedWorkers();
  EXPECT_EQ(Slot(4).ownedThread, nullptr);

  // A slot the user stopped is never the watcher's business.
  ASSERT_TRUE(StartWorker(6, kModeLiveMonitor, RunsUntilStopped));
  EXPECT_EQ(StopWorker(6), StopResult::kStopped);
  EXPECT_FALSE(WaitPumping([] { return g_workerEndedCount.load() > 1; }, 1500));
}

TEST_F(WorkerSupervision, AHeldWatcherMakesNoScanAndGoesOnAfterwards) {
  ASSERT_TRUE(StartDeadThreadWatcher(mainWindow_));
  {
    WatcherHold hold;
    ASSERT_TRUE(StartWorker(7, kModeLiveMonitor, GivesUpAtOnce));
    EXPECT_FALSE(WaitPumping([] { return g_workerEndedCount.load() > 0; }, 2500));
    EXPECT_EQ(Slot(7).runningMode.load(), kModeLiveMonitor);
  }
  ASSERT_TRUE(WaitPumping([] { return g_workerEndedCount.load() == 1; }, 2500));
  EXPECT_EQ(g_workerEndedSlot.load(), 7);
  EXPECT_TRUE(IsIdle(7));
}

TEST_F(WorkerSupervision, StopAllAtExitTerminatesOnlyTheStalledWorkerAfterOneMessage) {
  ASSERT_TRUE(StartDeadThreadWatcher(mainWindow_));
  ASSERT_TRUE(StartWorker(0, kModeLiveMonitor, RunsUntilStopped));
  ASSERT_TRUE(StartWorker(1, kModeFsxLiveView, StallsWhenStopped));
  ASSERT_TRUE(StartWorker(2, kModeGpsGauge, RunsUntilStopped));
  const HANDLE workers[3] = {KeepHandle(0), KeepHandle(1), KeepHandle(2)};

  std::optional<driver::MessageBoxInfo> box;
  std::thread answerer(
      [&] { box = driver::AnswerNextMessageBox(GetCurrentProcessId(), IDOK, 20000); });
  StopAllWorkersTellingUser(mainWindow_);
  answerer.join();

  ASSERT_TRUE(box.has_value()) << "no message box";
  EXPECT_EQ(box->title, msg::kStopAllFailed.title);
  EXPECT_EQ(box->text, msg::kStopAllFailed.text);
  EXPECT_EQ(box->icon, driver::BoxIcon::Error);
  EXPECT_EQ(ExitCodeOf(workers[0]), kWorkerFinished);
  EXPECT_EQ(ExitCodeOf(workers[1]), kWorkerGaveUp) << "terminated with exit code 1";
  EXPECT_EQ(ExitCodeOf(workers[2]), kWorkerFinished);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(IsIdle(i)) << i;
    EXPECT_EQ(Slot(i).ownedThread, nullptr) << i;
  }
  EXPECT_TRUE(StartDeadThreadWatcher(mainWindow_)) << "the watcher has ended";
}

TEST_F(WorkerSupervision, StopAllWithWorkersThatEndInTimeShowsNothing) {
  ASSERT_TRUE(StartDeadThreadWatcher(mainWindow_));
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(StartWorker(i, kModeLiveMonitor, RunsUntilStopped));
  StopAllWorkersTellingUser(mainWindow_);
  EXPECT_TRUE(driver::MessageBoxWindows(GetCurrentProcessId()).empty());
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(IsIdle(i)) << i;
}

TEST_F(WorkerSupervision, ARemovalStopsEveryWorkerAndTerminatesAStalledOneSilently) {
  ASSERT_TRUE(StartWorker(0, kModeLiveMonitor, RunsUntilStopped));
  ASSERT_TRUE(StartWorker(1, kModeStaticImages, StallsWhenStopped));
  const HANDLE running = KeepHandle(0), stalled = KeepHandle(1);
  {
    WatcherHold hold;
    StopWorkersForRemoval();
  }
  EXPECT_TRUE(driver::MessageBoxWindows(GetCurrentProcessId()).empty());
  EXPECT_EQ(ExitCodeOf(running), kWorkerFinished);
  EXPECT_EQ(ExitCodeOf(stalled), kWorkerGaveUp);
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(IsIdle(i)) << i;
    EXPECT_EQ(Slot(i).ownedThread, nullptr) << i;
  }
}

}  // namespace
}  // namespace panelcast
