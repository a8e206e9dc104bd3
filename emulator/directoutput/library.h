// The one state of the emulated panel library in a process: panels, the program's registrations,
// faults, options, the call log and the callback thread. Entry points and the control channel both
// work on it; everything behind `mutex` is touched only with it held, and it is never held while
// the program's code runs or while a SetImage is being slowed down.
#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "emulator/control/log_line.h"
#include "emulator/directoutput/callback_thread.h"
#include "emulator/directoutput/emulator_config.h"
#include "emulator/directoutput/fault_table.h"
#include "emulator/directoutput/panel_board.h"

namespace emu {

class Library {
 public:
  static Library& Get();  // lives until the process ends

  void Load(const EmulatorConfig& config);

  std::mutex mutex;
  PanelBoard board;                    // guarded by mutex
  FaultTable faults;                   // guarded by mutex
  std::set<std::string> typeFails;     // guarded by mutex
  bool initialized = false;            // guarded by mutex
  Handler onDevice;                    // guarded by mutex
  std::shared_ptr<CallbackThread> callbacks;  // guarded by mutex; null while not initialised
  // Arrivals and removals, when they are told on a thread of their own (changesApart): a library
  // may tell them from another thread than the one that reports buttons and pages.
  std::shared_ptr<CallbackThread> changeCallbacks;  // guarded by mutex; null while not initialised
  std::atomic<bool> changesApart{false};      // set by the control channel, read by Post
  std::atomic<uint32_t> setImageDelayMs{0};   // set by the control channel, read by SetImage
  std::atomic<uint32_t> setLedDelayMs{0};     // set by the control channel, read by SetLed

  // Queues the notices for the program; call with `mutex` held. Notices nobody is registered for
  // when their turn comes are dropped, and their completions are done all the same.
  std::vector<std::shared_ptr<Completion>> Post(const std::vector<Notice>& notices);

  // Runs a change of the board under the lock, queues its notices and waits until the program's
  // callbacks for them have returned. False when `change` refuses.
  bool ChangeAndWait(const std::function<bool(PanelBoard&, std::vector<Notice>&)>& change);

  // The call log: in memory for the control channel, and appended line by line to the log file.
  uint32_t NextSequence() { return sequence_.fetch_add(1) + 1; }
  void Record(const LogLine& line, const std::string& serial);
  std::string LogText(const std::string& serial);  // lines oldest first, by sequence
  void ClearLog();

 private:
  void Deliver(const Notice& notice);

  std::atomic<uint32_t> sequence_{0};  // any caller takes the next number
  std::mutex logMutex_;
  struct Entry {
    LogLine line;
    std::string serial;
  };
  // A deque, so that the memory it holds follows its length: a vector's doubling would show as a
  // step in the program's committed memory whenever a busier stretch outgrows it.
  std::deque<Entry> log_;                  // guarded by logMutex_
  HANDLE logFile_ = INVALID_HANDLE_VALUE;  // set by Load, written under logMutex_
};

}  // namespace emu
