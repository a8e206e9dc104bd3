// The library's own thread, on which the program hears of arrivals, removals, page changes and
// buttons, one after another in the order they happened. Whoever posts work gets a Completion that
// is done once the work has run (or was dropped because the library was deinitialised), so the
// control channel can answer only after the program's callback has returned.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace emu {

class Completion {
 public:
  void Done();
  bool Wait(DWORD timeoutMs);

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool done_ = false;  // guarded by mutex_
};

class CallbackThread {
 public:
  static std::shared_ptr<CallbackThread> Start();  // null when no thread could be made
  ~CallbackThread();

  std::shared_ptr<Completion> Post(std::function<void()> work);
  // Drops what is pending and lets the thread end after the callback it may be in. Waits up to
  // waitMs for that, serving messages sent to the caller's windows meanwhile: a callback of the
  // program may be sending to the very thread that deinitialises. Never waits on its own thread.
  void Stop(DWORD waitMs);
  DWORD ThreadId() const { return threadId_; }
  // The thread is about to fault (an injected crash): Stop no longer waits for it.
  void MarkFaulted() { faulted_ = true; }

 private:
  struct Item {
    std::function<void()> work;
    std::shared_ptr<Completion> completion;
  };
  CallbackThread() = default;
  static DWORD WINAPI Run(void* parameter);
  void Serve();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Item> queue_;  // guarded by mutex_
  bool stopping_ = false;   // guarded by mutex_
  HANDLE thread_ = nullptr;  // written once by Start, before anyone else sees the object
  DWORD threadId_ = 0;       // the same
  std::atomic<bool> faulted_{false};  // set on the thread itself, read by Stop on any thread
};

}  // namespace emu
