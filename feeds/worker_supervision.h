// Starting and stopping the per-panel worker threads, the dead-thread watcher that returns the
// slots of workers that ended by themselves to idle, and the stop of everything at exit.
//
// The main thread starts and stops workers and owns their handles (DeviceSlot::ownedThread); a
// worker clears its slot's `workerThread` as its last act; the watcher only changes slot fields
// and posts to the main window, which does everything that touches controls. Waits of the main
// thread keep serving messages sent to it, so a worker or the watcher talking to the main window
// at that moment never turns a stop into a time-out.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/scoped_win.h"
#include "devices/device_slot.h"

namespace panelcast {

// A worker's thread routine; its argument is the slot index.
using WorkerRoutine = DWORD(WINAPI*)(void* slotIndexAsPointer);

inline int SlotIndexFromArgument(void* slotIndexAsPointer) {
  return static_cast<int>(reinterpret_cast<intptr_t>(slotIndexAsPointer));
}

// How long a stop waits for one thread before it gives up on it (or terminates it).
inline constexpr DWORD kStopTimeoutMs = 5000;

// Worker exit codes: after a requested stop, and after giving up during the start.
inline constexpr DWORD kWorkerFinished = 0;
inline constexpr DWORD kWorkerGaveUp = 1;

// START: the thread is created suspended and resumed only once `workerThread` (and
// `ownedThread`), `runFlag` 1 and `runningMode` are in the slot, so even a worker that gives up at
// once finds them in place. False when the slot is not idle (a worker, or an ended one the watcher
// has not yet returned to idle) or the thread cannot be created.
bool StartWorker(int slotIndex, FeedMode mode, WorkerRoutine routine);

enum class StopResult { kNoWorker, kStopped, kTimedOut };

// STOP: clears `runFlag` and `runningMode` and waits up to 5000 ms. On kStopped the slot is idle
// and the handle closed; on kTimedOut the slot keeps its handle until the worker ends by itself.
StopResult StopWorker(int slotIndex);

// What StopAllWorkers found stuck: some workers, or the watcher.
enum class StopStall { kWorkers, kWatcher };

// Told of a stall on the main thread while the stuck threads still run, before they are forced
// to end; the caller shows whatever the user is to see then (app/stop_messages.h).
using StallNotice = void (*)(HWND mainWindow, StopStall stall);

// At exit: every worker, then the watcher, each forced after 5000 ms, `notice` (when not null)
// told of each stall with `mainWindow` (the watcher's only when `mainWindow` is not null).
// Running it again finds nothing left to stop.
void StopAllWorkers(HWND mainWindow, StallNotice notice);

// The last chance after a fault: every worker is asked to stop at once (its run flag dropped, so
// it blanks and removes its pages as after STOP) and they are waited for together, at most
// `timeLimitMs` in all and never the calling thread (which may be the worker that faulted); no
// message, nothing forced, no handle touched, no message served. True when every other worker
// ended in time. Any thread: it reads and writes only the slots' atomic fields.
bool StopAllWorkersWithin(DWORD timeLimitMs);

// The end of the session: like StopAllWorkers, without its messages (nobody can answer one then)
// and within about `timeLimitMs` in all: every worker is asked to stop at once and waited for
// together, then any still running, and the watcher, are ended by force. Main thread.
void StopAllWorkersForSessionEnd(DWORD timeLimitMs);

// A removal: every worker is stopped, forced after 5000 ms, and every slot left without a thread
// or a handle (those of workers that ended after a timed-out STOP included). Main thread, under a
// WatcherHold.
void StopWorkersForRemoval();

// Starts the watcher once at start-up; false when the thread cannot be created (or one runs).
// Only StopAllWorkers ends it.
bool StartDeadThreadWatcher(HWND mainWindow);

// While one exists the watcher makes no scan (and does not end); a scan in progress finishes
// before the constructor returns. One hold at a time, released on the thread that took it.
class WatcherHold : public ScopedSrwLock {
 public:
  WatcherHold();
};

// Closes the handles of workers that have ended and cleared their `workerThread`. Main thread.
void ReleaseEndedWorkers();

// Whether any worker was ended by force so far (it may have left a system library's lock taken).
bool AnyWorkerForced();

// Posted by the watcher to the main window after it returned a slot to idle; wParam: slot index.
UINT WorkerEndedMessage();

// A worker's last act, whether it finishes or gives up: clears its slot's `workerThread` and
// gives back the exit code to end with.
DWORD EndWorker(DeviceSlot& slot, DWORD exitCode);

}  // namespace panelcast
