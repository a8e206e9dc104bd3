#include "emulator/directoutput/library.h"

#include <algorithm>

#include "panel_library/direct_output_abi.h"

namespace emu {

namespace {

// The program's removal handler stops every worker, 5 s each at most, before it returns.
constexpr DWORD kCallbackWaitMs = 180000;
constexpr std::size_t kMaxLogEntries = 1000000;

std::wstring Widen(const std::string& text) {
  int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(length > 0 ? length : 1, L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), length);
  wide.resize(wcslen(wide.c_str()));
  return wide;
}

}  // namespace

Library& Library::Get() {
  // Never destroyed: other threads may still be inside the library while the process ends.
  static Library* library = new Library();
  return *library;
}

void Library::Load(const EmulatorConfig& config) {
  std::lock_guard<std::mutex> lock(mutex);
  std::vector<Notice> ignored;  // nobody is initialised yet to hear of these
  for (const PanelSpec& panel : config.panels) board.AddPanel(panel.serial, panel.type, ignored);
  for (const FaultSpec& fault : config.faults) faults.Set(fault.call, fault.result, fault.always);
  typeFails.insert(config.typeFails.begin(), config.typeFails.end());
  board.refuseInactive = config.inactiveRefuses;
  setImageDelayMs = config.setImageDelayMs;
  if (!config.logPath.empty()) {
    // Appends, and lets tests read (and other processes append) while the program runs.
    logFile_ = CreateFileW(Widen(config.logPath).c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
}

std::vector<std::shared_ptr<Completion>> Library::Post(const std::vector<Notice>& notices) {
  std::vector<std::shared_ptr<Completion>> completions;
  if (!initialized || !callbacks) return completions;
  for (const Notice& notice : notices) {
    const bool change = notice.kind == Notice::Kind::Arrival || notice.kind == Notice::Kind::Removal;
    CallbackThread& thread = change && changesApart && changeCallbacks ? *changeCallbacks : *callbacks;
    completions.push_back(thread.Post([this, notice] { Deliver(notice); }));
  }
  return completions;
}

void Library::Deliver(const Notice& notice) {
  Handler handler;
  bool crash = false;
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (!initialized) return;
    if (notice.kind == Notice::Kind::Arrival || notice.kind == Notice::Kind::Removal) {
      handler = onDevice;
    } else if (BoardPanel* panel = board.Find(notice.device)) {
      handler = notice.kind == Notice::Kind::PageChange ? panel->onPage : panel->onButtons;
    }
    crash = handler.function != 0 && notice.kind == Notice::Kind::Buttons &&
            faults.TakeCrash(kSoftButtonDelivery);
    // This thread will not come back from the fault: Deinitialize must not wait for it.
    if (crash && callbacks) callbacks->MarkFaulted();
  }
  if (crash) RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr);
  if (handler.function == 0) return;
  auto* device = reinterpret_cast<directoutput::DeviceHandle>(notice.device);
  auto* context = reinterpret_cast<void*>(handler.context);
  switch (notice.kind) {
    case Notice::Kind::Arrival:
    case Notice::Kind::Removal:
      reinterpret_cast<directoutput::DeviceChangeCallback>(handler.function)(
          device, notice.kind == Notice::Kind::Arrival, context);
      break;
    case Notice::Kind::PageChange:
      reinterpret_cast<directoutput::PageChangeCallback>(handler.function)(
          device, notice.page, notice.activated, context);
      break;
    case Notice::Kind::Buttons:
      reinterpret_cast<directoutput::SoftButtonCallback>(handler.function)(device, notice.buttons,
                                                                           context);
      break;
  }
}

bool Library::ChangeAndWait(
    const std::function<bool(PanelBoard&, std::vector<Notice>&)>& change) {
  std::vector<std::shared_ptr<Completion>> completions;
  {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<Notice> notices;
    if (!change(board, notices)) return false;
    completions = Post(notices);
  }
  bool returned = true;
  for (auto& completion : completions) returned = completion->Wait(kCallbackWaitMs) && returned;
  return returned;
}

void Library::Record(const LogLine& line, const std::string& serial) {
  std::string text = FormatLogLine(line) + "\n";
  std::lock_guard<std::mutex> lock(logMutex_);
  if (log_.size() < kMaxLogEntries) log_.push_back({line, serial});
  if (logFile_ != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    (void)WriteFile(logFile_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }
}

std::string Library::LogText(const std::string& serial) {
  std::vector<const Entry*> chosen;
  std::lock_guard<std::mutex> lock(logMutex_);
  for (const Entry& entry : log_) {
    if (serial.empty() || entry.serial == serial) chosen.push_back(&entry);
  }
  // Lines are stored as calls end; their numbers say when they began.
  std::stable_sort(chosen.begin(), chosen.end(), [](const Entry* a, const Entry* b) {
    return a->line.sequence < b->line.sequence;
  });
  std::string text;
  for (const Entry* entry : chosen) text += FormatLogLine(entry->line) + "\n";
  return text;
}

void Library::ClearLog() {
  std::lock_guard<std::mutex> lock(logMutex_);
  log_.clear();
}

}  // namespace emu
