// The viewer's two background threads: one polls the control channel about ten times a second
// and posts what it saw to the window, one sends the person's input in order. Neither touches a
// window: the poller posts kSnapshotMessage with a Snapshot the window then owns.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "emulator/control/panel_control.h"

namespace viewer {

inline constexpr UINT kSnapshotMessage = WM_APP + 1;

struct Snapshot {
  bool connected = false;
  std::vector<emu::PanelInfo> panels;
  std::map<std::string, std::shared_ptr<const std::vector<uint8_t>>> screens;  // by serial
};

class ViewerLink {
 public:
  ViewerLink(HWND window, std::wstring pipeName);
  ~ViewerLink();
  void Send(std::string command);  // queued; sent in order on the command thread

 private:
  void Poll();
  void RunCommands();

  HWND window_;          // set at construction, read by the poller
  std::wstring pipeName_;  // the same
  HANDLE stop_;          // set by the destructor, waited on by the poller
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::string> commands_;  // guarded by mutex_
  bool stopping_ = false;             // guarded by mutex_
  std::thread poller_;
  std::thread sender_;
};

}  // namespace viewer
