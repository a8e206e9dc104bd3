#include "emulator/directoutput/control_server.h"

#include <windows.h>

#include <memory>

#include "emulator/control/panel_control.h"
#include "emulator/control/panel_listing.h"
#include "emulator/control/pipe_io.h"
#include "emulator/directoutput/browser_agent.h"
#include "emulator/directoutput/emulator_config.h"
#include "emulator/directoutput/library.h"

namespace emu {

namespace {

constexpr DWORD kPipeBufferBytes = 64 * 1024;

std::vector<PanelInfo> Snapshot(Library& library) {
  std::lock_guard<std::mutex> lock(library.mutex);
  std::vector<PanelInfo> panels;
  for (const BoardPanel& panel : library.board.Panels()) {
    PanelInfo info;
    info.handle = panel.handle;
    info.serial = panel.serial;
    info.type = panel.type;
    info.activePage = panel.activePage;
    info.sendsUnderWay = panel.sendsUnderWay;
    for (const BoardPage& page : panel.pages) {
      PageInfo pageInfo;
      pageInfo.number = page.number;
      pageInfo.flags = page.flags;
      pageInfo.active = panel.activePage == static_cast<int>(page.number);
      std::copy(std::begin(page.leds), std::end(page.leds), pageInfo.leds);
      pageInfo.imageCount = page.imageCount;
      pageInfo.lastImageTick = page.lastImageTick;
      pageInfo.blank = page.image.empty();
      info.pages.push_back(pageInfo);
    }
    panels.push_back(info);
  }
  return panels;
}

uint32_t Status(bool ok) { return ok ? kReplyOk : kReplyRefused; }

// Commands that change the board and tell the program: they answer once its callbacks returned.
using Change = bool (PanelBoard::*)(const std::string&, uint32_t, std::vector<Notice>&);

uint32_t RunInput(Library& library, const std::string& serial, const std::string& value,
                  Change change) {
  std::optional<uint32_t> number = ParseUnsigned(value);
  if (!number) return kReplyBadRequest;
  return Status(library.ChangeAndWait([&](PanelBoard& board, std::vector<Notice>& notices) {
    return (board.*change)(serial, *number, notices);
  }));
}

DWORD WINAPI ServeClient(void* parameter) {
  HANDLE pipe = static_cast<HANDLE>(parameter);
  std::string command;
  while (ReadRequest(pipe, command)) {
    std::string payload;
    uint32_t status = RunControlCommand(command, payload);
    if (!WriteReply(pipe, status, payload)) break;
  }
  DisconnectNamedPipe(pipe);
  CloseHandle(pipe);
  return 0;
}

// Serving threads are plain Win32 threads, like the library's other threads: a detached
// std::thread started here now and then ran with a freed start record and crashed (the C++
// runtime's thread bookkeeping in this library's static copy; the library turns thread
// notifications off).
void StartServing(HANDLE pipe) {
  HANDLE thread = CreateThread(nullptr, 0, &ServeClient, pipe, 0, nullptr);
  if (thread == nullptr) {
    CloseHandle(pipe);  // no thread for it: the client sees the channel close
    return;
  }
  CloseHandle(thread);
}

// One pipe instance waiting for a client (ConnectNamedPipe pending on its own event).
class ListeningInstance {
 public:
  explicit ListeningInstance(const std::wstring& pipeName) {
    event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (event_ == nullptr) return;
    pipe_ = CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                             PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                             PIPE_UNLIMITED_INSTANCES, kPipeBufferBytes, kPipeBufferBytes, 0,
                             nullptr);
    if (pipe_ == INVALID_HANDLE_VALUE) return;
    overlapped_.hEvent = event_;
    if (ConnectNamedPipe(pipe_, &overlapped_)) {
      connected_ = true;
      return;
    }
    const DWORD error = GetLastError();
    pending_ = error == ERROR_IO_PENDING;
    connected_ = error == ERROR_PIPE_CONNECTED;  // a client came between create and connect
  }
  ~ListeningInstance() {
    if (pipe_ != INVALID_HANDLE_VALUE) {
      if (pending_) {
        CancelIo(pipe_);
        DWORD ignored = 0;
        (void)GetOverlappedResult(pipe_, &overlapped_, &ignored, TRUE);  // let the cancel end
      }
      CloseHandle(pipe_);
    }
    if (event_ != nullptr) CloseHandle(event_);
  }
  ListeningInstance(const ListeningInstance&) = delete;
  ListeningInstance& operator=(const ListeningInstance&) = delete;

  bool Usable() const { return pending_ || connected_; }

  // Waits until a client is connected; false when the instance failed instead.
  bool WaitForClient() {
    if (pending_) {
      DWORD ignored = 0;
      connected_ = GetOverlappedResult(pipe_, &overlapped_, &ignored, TRUE) != FALSE;
      pending_ = false;
    }
    return connected_;
  }

  // Hands the connected pipe over to its serving thread.
  HANDLE Release() {
    HANDLE pipe = pipe_;
    pipe_ = INVALID_HANDLE_VALUE;
    return pipe;
  }

 private:
  HANDLE event_ = nullptr;
  HANDLE pipe_ = INVALID_HANDLE_VALUE;
  OVERLAPPED overlapped_ = {};
  bool pending_ = false;
  bool connected_ = false;
};

std::unique_ptr<ListeningInstance> NewInstance(const std::wstring& pipeName) {
  auto instance = std::make_unique<ListeningInstance>(pipeName);
  if (instance->Usable()) return instance;
  return nullptr;
}

// There is always an instance listening: the next one is made before the connected one is
// handed over, so the pipe's name never disappears between two quick connections (a client
// would get "file not found") and a client never has to wait for the serving thread to start.
void Listen(std::wstring pipeName) {
  std::unique_ptr<ListeningInstance> listening;
  for (;;) {
    if (!listening) listening = NewInstance(pipeName);
    if (!listening) {
      Sleep(200);  // out of instances or resources: try again rather than lose the channel
      continue;
    }
    if (!listening->WaitForClient()) {
      listening.reset();  // the client left before it was served
      continue;
    }
    std::unique_ptr<ListeningInstance> connected = std::move(listening);
    listening = NewInstance(pipeName);
    StartServing(connected->Release());
  }
}

DWORD WINAPI ListenThread(void* parameter) {
  std::wstring name = *static_cast<std::wstring*>(parameter);
  delete static_cast<std::wstring*>(parameter);
  Listen(name);
  return 0;
}

}  // namespace

uint32_t RunControlCommand(const std::string& command, std::string& payload) {
  Library& library = Library::Get();
  // The path is the rest of the line: it may hold blanks.
  if (command.rfind("BROWSE ", 0) == 0) return Status(SelectInFolderBrowser(command.substr(7)));
  std::vector<std::string> w = SplitWords(command);
  if (w.empty()) return kReplyBadRequest;
  const std::string& verb = w[0];
  std::size_t n = w.size();
  if (verb == "PING" && n == 1) return kReplyOk;
  if (verb == "PANELS" && n == 1) {
    payload = FormatPanels(Snapshot(library));
    return kReplyOk;
  }
  if (verb == "ADD" && (n == 2 || n == 3)) {
    std::string type = n == 3 ? w[2] : "fip";
    if (!IsPanelType(type)) return kReplyBadRequest;
    return Status(library.ChangeAndWait([&](PanelBoard& board, std::vector<Notice>& notices) {
      return board.AddPanel(w[1], type, notices).has_value();
    }));
  }
  if (verb == "REMOVE" && n == 2) {
    return Status(library.ChangeAndWait([&](PanelBoard& board, std::vector<Notice>& notices) {
      return board.RemovePanel(w[1], notices);
    }));
  }
  if (verb == "PRESS" && n == 3) return RunInput(library, w[1], w[2], &PanelBoard::Press);
  if (verb == "RELEASE" && n == 3) return RunInput(library, w[1], w[2], &PanelBoard::Release);
  if (verb == "STEP" && n == 3) return RunInput(library, w[1], w[2], &PanelBoard::Step);
  if (verb == "BUTTONS" && n == 3) return RunInput(library, w[1], w[2], &PanelBoard::SendButtons);
  if (verb == "PAGE" && n == 3) {
    std::optional<uint32_t> page = ParseUnsigned(w[2]);
    if (!page || *page > 0x7FFFFFFF) return kReplyBadRequest;
    return Status(library.ChangeAndWait([&](PanelBoard& board, std::vector<Notice>& notices) {
      return board.SwitchPage(w[1], static_cast<int>(*page), notices);
    }));
  }
  if (verb == "NOTIFYPAGE" && n == 4 && (w[3] == "0" || w[3] == "1")) {
    std::optional<uint32_t> page = ParseUnsigned(w[2]);
    if (!page) return kReplyBadRequest;
    const bool activated = w[3] == "1";
    // Only the callback: the board keeps its pages and the one shown, so a test can hand the
    // program a page it never added and see that nothing follows from it.
    return Status(library.ChangeAndWait([&](PanelBoard& board, std::vector<Notice>& notices) {
      BoardPanel* panel = board.FindSerial(w[1]);
      if (panel == nullptr) return false;
      notices.push_back({Notice::Kind::PageChange, panel->handle, *page, activated});
      return true;
    }));
  }
  if (verb == "IMAGE" && n == 3) {
    std::optional<uint32_t> number = ParseUnsigned(w[2]);
    if (!number) return kReplyBadRequest;
    std::lock_guard<std::mutex> lock(library.mutex);
    BoardPanel* panel = library.board.FindSerial(w[1]);
    if (panel == nullptr) return kReplyRefused;
    for (const BoardPage& page : panel->pages) {
      if (page.number == *number) {
        payload.assign(page.image.begin(), page.image.end());
        return kReplyOk;
      }
    }
    return kReplyRefused;
  }
  if (verb == "LOG" && (n == 1 || n == 2)) {
    payload = library.LogText(n == 2 ? w[1] : std::string());
    return kReplyOk;
  }
  if (verb == "CLEARLOG" && n == 1) {
    library.ClearLog();
    return kReplyOk;
  }
  if (verb == "FAULT" && n == 4) {
    std::optional<int32_t> result = ParseResultCode(w[2]);
    if (!IsEntryPointName(w[1]) || !result || (w[3] != "once" && w[3] != "always")) {
      return kReplyBadRequest;
    }
    std::lock_guard<std::mutex> lock(library.mutex);
    library.faults.Set(w[1], *result, w[3] == "always");
    return kReplyOk;
  }
  if (verb == "CRASH" && n == 2) {
    if (!IsEntryPointName(w[1]) && w[1] != kSoftButtonDelivery) return kReplyBadRequest;
    std::lock_guard<std::mutex> lock(library.mutex);
    library.faults.SetCrash(w[1]);
    return kReplyOk;
  }
  if (verb == "CLEARFAULTS" && n == 1) {
    std::lock_guard<std::mutex> lock(library.mutex);
    library.faults.Clear();
    return kReplyOk;
  }
  if (verb == "TYPEFAIL" && n == 3 && (w[2] == "0" || w[2] == "1")) {
    std::lock_guard<std::mutex> lock(library.mutex);
    if (w[2] == "1") {
      library.typeFails.insert(w[1]);
    } else {
      library.typeFails.erase(w[1]);
    }
    return kReplyOk;
  }
  if ((verb == "DELAY" || verb == "LEDDELAY") && n == 2) {
    std::optional<uint32_t> delay = ParseUnsigned(w[1]);
    if (!delay) return kReplyBadRequest;
    (verb == "DELAY" ? library.setImageDelayMs : library.setLedDelayMs) = *delay;
    return kReplyOk;
  }
  if (verb == "CHANGESAPART" && n == 2 && (w[1] == "0" || w[1] == "1")) {
    library.changesApart = w[1] == "1";
    return kReplyOk;
  }
  if (verb == "REFUSE" && n == 2 && (w[1] == "0" || w[1] == "1")) {
    std::lock_guard<std::mutex> lock(library.mutex);
    library.board.refuseInactive = w[1] == "1";
    return kReplyOk;
  }
  return kReplyBadRequest;
}

bool StartControlServer(const std::wstring& pipeName) {
  // A plain thread: this runs inside DllMain, where the C runtime's thread start is best avoided.
  auto* name = new std::wstring(pipeName);
  HANDLE thread = CreateThread(nullptr, 0, &ListenThread, name, 0, nullptr);
  if (thread == nullptr) {
    delete name;
    return false;
  }
  CloseHandle(thread);
  return true;
}

}  // namespace emu
