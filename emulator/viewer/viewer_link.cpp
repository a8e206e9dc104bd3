#include "emulator/viewer/viewer_link.h"

namespace viewer {

namespace {

constexpr DWORD kPollMs = 100;

// What a cached screen was fetched for; a new image changes the count or the tick.
struct ScreenKey {
  uint32_t page = 0, count = 0, tick = 0;
  bool operator==(const ScreenKey&) const = default;
};

}  // namespace

ViewerLink::ViewerLink(HWND window, std::wstring pipeName)
    : window_(window),
      pipeName_(std::move(pipeName)),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      poller_(&ViewerLink::Poll, this),
      sender_(&ViewerLink::RunCommands, this) {}

ViewerLink::~ViewerLink() {
  SetEvent(stop_);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    wake_.notify_one();
  }
  poller_.join();
  sender_.join();
  CloseHandle(stop_);
}

void ViewerLink::Send(std::string command) {
  std::lock_guard<std::mutex> lock(mutex_);
  commands_.push_back(std::move(command));
  wake_.notify_one();
}

void ViewerLink::RunCommands() {
  emu::PanelControl control(pipeName_);
  for (;;) {
    std::string command;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !commands_.empty(); });
      if (stopping_) return;
      command = std::move(commands_.front());
      commands_.pop_front();
    }
    (void)control.Send(command);  // a refused command shows in the next poll
  }
}

void ViewerLink::Poll() {
  emu::PanelControl control(pipeName_);
  std::map<std::string, std::pair<ScreenKey, std::shared_ptr<const std::vector<uint8_t>>>> cache;
  // The period is the poll rate: a stop ends the wait at once.
  while (WaitForSingleObject(stop_, kPollMs) == WAIT_TIMEOUT) {
    auto snapshot = std::make_unique<Snapshot>();
    snapshot->connected = control.Send("PING");
    if (snapshot->connected) snapshot->panels = control.Panels();
    for (const emu::PanelInfo& panel : snapshot->panels) {
      for (const emu::PageInfo& page : panel.pages) {
        if (!page.active || page.blank) continue;
        ScreenKey key{page.number, page.imageCount, page.lastImageTick};
        auto& cached = cache[panel.serial];
        if (!cached.second || !(cached.first == key)) {
          cached = {key, std::make_shared<const std::vector<uint8_t>>(
                             control.Image(panel.serial, page.number))};
        }
        snapshot->screens[panel.serial] = cached.second;
      }
    }
    if (PostMessageW(window_, kSnapshotMessage, 0, reinterpret_cast<LPARAM>(snapshot.get()))) {
      snapshot.release();  // the window owns it now
    }
  }
}

}  // namespace viewer
