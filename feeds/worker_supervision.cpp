#include "feeds/worker_supervision.h"

#include <atomic>

#include "base/sent_message_wait.h"
#include "devices/slot_table.h"

namespace panelcast {
namespace {

std::atomic<int32_t> g_watcherRunFlag{0};   // main thread writes; watcher reads
std::atomic<HANDLE> g_watcherStop{nullptr};  // main thread creates it before the watcher starts
                                             // and closes it after the watcher has ended
HANDLE g_watcherThread = nullptr;            // main thread only
std::atomic<bool> g_workerForced{false};     // main thread writes; read at exit
// A scan and a WatcherHold exclude each other: the watcher only tries to take it, so a hold
// makes it skip its scan instead of waiting.
SRWLOCK g_scanLock = SRWLOCK_INIT;

DeviceSlot* SlotAt(int slotIndex) {
  SlotTable* table = Slots();
  if (!table || slotIndex < 0 || slotIndex >= kMaxDevices) return nullptr;
  return &table->slots[slotIndex];
}

// The handle the main thread waits on and closes: ownedThread, adopting workerThread when a slot
// got its handle some other way.
HANDLE OwnedHandle(DeviceSlot& slot) {
  if (!slot.ownedThread) slot.ownedThread = slot.workerThread.load();
  return slot.ownedThread;
}

void CloseOwnedHandle(DeviceSlot& slot) {
  if (slot.ownedThread) CloseHandle(slot.ownedThread);
  slot.ownedThread = nullptr;
}

// A worker ended by force may have left a lock of a system library taken (a decoder's, say).
void ForceEnd(HANDLE worker) {
  g_workerForced = true;
  TerminateThread(worker, kWorkerGaveUp);
}

void RequestStop(DeviceSlot& slot) {
  slot.runFlag = 0;
  slot.runningMode = kModeIdle;
}

void ScanForEndedWorkers(HWND mainWindow) {
  SlotTable* table = Slots();
  if (!table) return;
  for (int i = 0; i < kMaxDevices; ++i) {
    DeviceSlot& slot = table->slots[i];
    // runningMode first: START stores workerThread before runningMode, so a mode seen here comes
    // with its thread handle, and a slot being started is never taken for an ended one.
    if (slot.runningMode.load() == kModeIdle) continue;
    if (slot.workerThread.load() != nullptr) continue;
    RequestStop(slot);
    PostMessageW(mainWindow, WorkerEndedMessage(), static_cast<WPARAM>(i), 0);
  }
}

DWORD WINAPI DeadThreadWatcher(void* mainWindowAsPointer) {
  HWND mainWindow = static_cast<HWND>(mainWindowAsPointer);
  HANDLE stop = g_watcherStop.load();
  while (g_watcherRunFlag.load() == 1) {
    if (TryAcquireSRWLockExclusive(&g_scanLock)) {
      ScanForEndedWorkers(mainWindow);
      ReleaseSRWLockExclusive(&g_scanLock);
    }
    if (WaitForSingleObject(stop, 1000) != WAIT_TIMEOUT) break;
  }
  return 0;
}

// Ends the watcher: asked, then forced after `waitMs`, `notice` told first with `mainWindow`
// (nobody when either is null). Main thread.
void StopWatcher(DWORD waitMs, HWND mainWindow, StallNotice notice) {
  if (!g_watcherThread) return;
  g_watcherRunFlag = 0;
  SetEvent(g_watcherStop.load());
  if (!WaitServingSentMessages(g_watcherThread, waitMs)) {
    if (mainWindow && notice) notice(mainWindow, StopStall::kWatcher);
    TerminateThread(g_watcherThread, 1);
    WaitForSingleObject(g_watcherThread, kStopTimeoutMs);
  }
  CloseHandle(g_watcherThread);
  g_watcherThread = nullptr;
  CloseHandle(g_watcherStop.exchange(nullptr));
}

}  // namespace

bool StartWorker(int slotIndex, FeedMode mode, WorkerRoutine routine) {
  DeviceSlot* slot = SlotAt(slotIndex);
  if (!slot || slot->workerThread.load() || slot->runningMode.load() != kModeIdle) return false;
  // A previous worker that ended has cleared workerThread; its handle is no longer needed.
  CloseOwnedHandle(*slot);
  HANDLE thread = CreateThread(nullptr, 0, routine, reinterpret_cast<void*>(intptr_t{slotIndex}),
                               CREATE_SUSPENDED, nullptr);
  if (!thread) return false;
  slot->ownedThread = thread;
  slot->workerThread = thread;
  slot->runFlag = 1;
  slot->runningMode = mode;
  if (ResumeThread(thread) == static_cast<DWORD>(-1)) {
    // Never ran, so it read nothing: undo the start.
    TerminateThread(thread, kWorkerGaveUp);
    slot->workerThread = nullptr;
    RequestStop(*slot);
    CloseOwnedHandle(*slot);
    return false;
  }
  return true;
}

StopResult StopWorker(int slotIndex) {
  DeviceSlot* slot = SlotAt(slotIndex);
  if (!slot || !slot->workerThread.load()) return StopResult::kNoWorker;
  RequestStop(*slot);
  if (!WaitServingSentMessages(OwnedHandle(*slot), kStopTimeoutMs)) return StopResult::kTimedOut;
  slot->workerThread = nullptr;
  CloseOwnedHandle(*slot);
  return StopResult::kStopped;
}

void StopAllWorkers(HWND mainWindow, StallNotice notice) {
  SlotTable* table = Slots();
  bool anyStalled = false;
  if (table) {
    for (DeviceSlot& slot : table->slots) {
      if (!slot.workerThread.load()) continue;
      RequestStop(slot);
      if (WaitServingSentMessages(OwnedHandle(slot), kStopTimeoutMs)) {
        slot.workerThread = nullptr;
        CloseOwnedHandle(slot);
      } else {
        anyStalled = true;
      }
    }
    if (anyStalled) {
      if (notice) notice(mainWindow, StopStall::kWorkers);
      for (DeviceSlot& slot : table->slots) {
        // A stalled worker that ended while the message was open has cleared its handle.
        if (slot.workerThread.load()) {
          ForceEnd(OwnedHandle(slot));
          WaitForSingleObject(slot.ownedThread, kStopTimeoutMs);
          slot.workerThread = nullptr;
        }
      }
    }
    ReleaseEndedWorkers();
  }

  StopWatcher(kStopTimeoutMs, mainWindow, notice);
}

bool StopAllWorkersWithin(DWORD timeLimitMs) {
  SlotTable* table = Slots();
  if (!table) return true;
  for (DeviceSlot& slot : table->slots) {
    if (slot.workerThread.load()) slot.runFlag = 0;
  }
  // A worker clears its own handle as its last act, so the slots are looked at again every 10 ms.
  // A non-null handle is still open: the main thread closes one only after it was cleared.
  const DWORD self = GetCurrentThreadId();
  const auto othersRunning = [&] {
    for (DeviceSlot& slot : table->slots) {
      const HANDLE thread = slot.workerThread.load();
      if (thread && GetThreadId(thread) != self) return true;
    }
    return false;
  };
  const DWORD start = GetTickCount();
  while (othersRunning()) {
    if (GetTickCount() - start >= timeLimitMs) return false;
    Sleep(10);
  }
  return true;
}

void StopAllWorkersForSessionEnd(DWORD timeLimitMs) {
  SlotTable* table = Slots();
  if (table) {
    for (DeviceSlot& slot : table->slots) {
      if (slot.workerThread.load()) RequestStop(slot);
    }
    // Together, serving what the workers send to the window meanwhile; the watcher's own wait
    // comes out of the same time.
    const DWORD start = GetTickCount();
    for (DeviceSlot& slot : table->slots) {
      if (!slot.workerThread.load()) continue;
      const DWORD spent = GetTickCount() - start;
      if (!WaitServingSentMessages(OwnedHandle(slot), spent < timeLimitMs ? timeLimitMs - spent : 0)) {
        ForceEnd(OwnedHandle(slot));
        (void)WaitForSingleObject(slot.ownedThread, 100);
      }
      slot.workerThread = nullptr;
    }
    ReleaseEndedWorkers();
  }
  StopWatcher(200, nullptr, nullptr);
}

void StopWorkersForRemoval() {
  SlotTable* table = Slots();
  if (!table) return;
  for (DeviceSlot& slot : table->slots) {
    // A worker that ended after its STOP timed out has cleared workerThread but its handle is
    // still ours: the slots are about to move over it, so it is closed here as well.
    if (!slot.workerThread.load() && !slot.ownedThread) continue;
    RequestStop(slot);
    HANDLE thread = OwnedHandle(slot);
    if (!WaitServingSentMessages(thread, kStopTimeoutMs)) {
      ForceEnd(thread);
      WaitForSingleObject(thread, kStopTimeoutMs);
    }
    slot.workerThread = nullptr;
    CloseOwnedHandle(slot);
  }
}

bool StartDeadThreadWatcher(HWND mainWindow) {
  if (g_watcherThread) return false;
  HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!stop) return false;
  g_watcherStop = stop;
  g_watcherRunFlag = 1;
  g_watcherThread = CreateThread(nullptr, 0, DeadThreadWatcher, mainWindow, 0, nullptr);
  if (!g_watcherThread) {
    g_watcherRunFlag = 0;
    CloseHandle(g_watcherStop.exchange(nullptr));
    return false;
  }
  return true;
}

WatcherHold::WatcherHold() : ScopedSrwLock(g_scanLock, kExclusive) {}

void ReleaseEndedWorkers() {
  SlotTable* table = Slots();
  if (!table) return;
  for (DeviceSlot& slot : table->slots) {
    if (slot.ownedThread && !slot.workerThread.load() &&
        WaitForSingleObject(slot.ownedThread, 0) == WAIT_OBJECT_0) {
      CloseOwnedHandle(slot);
    }
  }
}

bool AnyWorkerForced() { return g_workerForced.load(); }

UINT WorkerEndedMessage() {
  static const UINT message = RegisterWindowMessageW(L"Panelcast.WorkerEnded");
  return message;
}

DWORD EndWorker(DeviceSlot& slot, DWORD exitCode) {
  slot.workerThread = nullptr;
  return exitCode;
}

}  // namespace panelcast
