#include "emulator/directoutput/callback_thread.h"

namespace emu {

void Completion::Done() {
  std::lock_guard<std::mutex> lock(mutex_);
  done_ = true;
  changed_.notify_all();
}

bool Completion::Wait(DWORD timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return done_; });
}

std::shared_ptr<CallbackThread> CallbackThread::Start() {
  std::shared_ptr<CallbackThread> self(new CallbackThread());
  // The thread keeps the object alive on its own, so a Stop that stops waiting is still safe.
  auto* keep = new std::shared_ptr<CallbackThread>(self);
  self->thread_ = CreateThread(nullptr, 0, &CallbackThread::Run, keep, CREATE_SUSPENDED,
                               &self->threadId_);
  if (self->thread_ == nullptr) {
    delete keep;
    return nullptr;
  }
  ResumeThread(self->thread_);
  return self;
}

CallbackThread::~CallbackThread() {
  if (thread_ != nullptr) CloseHandle(thread_);
}

DWORD WINAPI CallbackThread::Run(void* parameter) {
  auto* keep = static_cast<std::shared_ptr<CallbackThread>*>(parameter);
  (*keep)->Serve();
  delete keep;
  return 0;
}

void CallbackThread::Serve() {
  for (;;) {
    Item item;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      item = std::move(queue_.front());
      queue_.pop_front();
    }
    item.work();
    item.completion->Done();
  }
}

std::shared_ptr<Completion> CallbackThread::Post(std::function<void()> work) {
  auto completion = std::make_shared<Completion>();
  std::lock_guard<std::mutex> lock(mutex_);
  if (stopping_) {
    completion->Done();
  } else {
    queue_.push_back({std::move(work), completion});
    wake_.notify_one();
  }
  return completion;
}

void CallbackThread::Stop(DWORD waitMs) {
  std::deque<Item> dropped;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    dropped.swap(queue_);
    wake_.notify_one();
  }
  for (Item& item : dropped) item.completion->Done();
  if (GetCurrentThreadId() == threadId_ || faulted_) return;
  DWORD start = GetTickCount();
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= waitMs) return;
    DWORD woke = MsgWaitForMultipleObjectsEx(1, &thread_, waitMs - elapsed, QS_SENDMESSAGE, 0);
    if (woke != WAIT_OBJECT_0 + 1) return;  // ended, timed out or failed: stop waiting
    MSG msg;
    // Only sent messages are dispatched here; posted ones stay for the caller's own loop.
    (void)PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace emu
