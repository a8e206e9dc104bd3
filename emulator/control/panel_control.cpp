#include "emulator/control/panel_control.h"

#include <cstdio>

#include "emulator/control/log_line.h"
#include "emulator/control/panel_listing.h"
#include "emulator/control/pipe_io.h"

namespace emu {

namespace {

// A removal makes the program stop every worker, up to 5 s each, before its callback returns.
constexpr DWORD kReplyTimeoutMs = 180000;
constexpr DWORD kConnectTimeoutMs = 5000;

std::wstring PipeFromEnvironment() {
  wchar_t name[512] = {};
  DWORD length = GetEnvironmentVariableW(L"PANELCAST_EMU_PIPE", name, 512);
  return length > 0 && length < 512 ? std::wstring(name, length) : std::wstring();
}

// Owns one connection to the control channel.
class Connection {
 public:
  explicit Connection(const std::wstring& pipeName, DWORD timeoutMs) {
    if (pipeName.empty()) return;
    DWORD start = GetTickCount();
    for (;;) {
      pipe_ = CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                          OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
      if (pipe_ != INVALID_HANDLE_VALUE) return;
      DWORD elapsed = GetTickCount() - start;
      const DWORD error = GetLastError();
      if (elapsed >= timeoutMs) return;
      if (error == ERROR_PIPE_BUSY) {
        (void)WaitNamedPipeW(pipeName.c_str(), timeoutMs - elapsed);  // retried above either way
      } else if (error == ERROR_FILE_NOT_FOUND) {
        // A guard: the server keeps an instance listening, but a program that is starting up
        // or ending may be without one for a moment.
        Sleep(10);
      } else {
        return;
      }
    }
  }
  ~Connection() {
    if (pipe_ != INVALID_HANDLE_VALUE) CloseHandle(pipe_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  bool Open() const { return pipe_ != INVALID_HANDLE_VALUE; }

  // Sends one command; false when the channel is gone or the answer is not "ok".
  bool Transact(const std::string& command, std::string* payload) {
    if (!Open()) return false;
    uint32_t length = static_cast<uint32_t>(command.size());
    if (!PipeWrite(pipe_, &length, sizeof length, kConnectTimeoutMs) ||
        !PipeWrite(pipe_, command.data(), length, kConnectTimeoutMs)) {
      return false;
    }
    uint32_t head[2] = {};
    if (!PipeRead(pipe_, head, sizeof head, kReplyTimeoutMs) || head[1] > kMaxReplyBytes) {
      return false;
    }
    std::string body(head[1], '\0');
    if (head[1] > 0 && !PipeRead(pipe_, body.data(), head[1], kReplyTimeoutMs)) return false;
    if (payload != nullptr) *payload = std::move(body);
    return head[0] == kReplyOk;
  }

 private:
  HANDLE pipe_ = INVALID_HANDLE_VALUE;
};

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

}  // namespace

PanelControl::PanelControl(std::wstring pipeName)
    : pipeName_(pipeName.empty() ? PipeFromEnvironment() : std::move(pipeName)) {}

bool PanelControl::Send(const std::string& command, std::string* payload) {
  Connection connection(pipeName_, kConnectTimeoutMs);
  return connection.Transact(command, payload);
}

bool PanelControl::WaitForServer(DWORD timeoutMs) {
  if (pipeName_.empty()) return false;
  DWORD start = GetTickCount();
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    {
      Connection connection(pipeName_, timeoutMs > elapsed ? timeoutMs - elapsed : 0);
      if (connection.Transact("PING", nullptr)) return true;
    }
    if (GetTickCount() - start >= timeoutMs) return false;
    // The pipe does not exist until the program has loaded the library; look again shortly.
    Sleep(20);
  }
}

bool PanelControl::AddPanel(const std::string& serial, const std::string& type) {
  return Send("ADD " + serial + " " + type);
}

bool PanelControl::RemovePanel(const std::string& serial) { return Send("REMOVE " + serial); }

std::vector<PanelInfo> PanelControl::Panels() {
  std::string listing;
  if (!Send("PANELS", &listing)) return {};
  return ParsePanels(listing);
}

std::optional<PanelInfo> PanelControl::Panel(const std::string& serial) {
  for (PanelInfo& panel : Panels()) {
    if (panel.serial == serial) return panel;
  }
  return std::nullopt;
}

bool PanelControl::Press(const std::string& serial, uint32_t buttons) {
  return Send("PRESS " + serial + " " + Hex(buttons));
}

bool PanelControl::Release(const std::string& serial, uint32_t buttons) {
  return Send("RELEASE " + serial + " " + Hex(buttons));
}

bool PanelControl::Click(const std::string& serial, uint32_t buttons) {
  return Press(serial, buttons) && Release(serial, buttons);
}

bool PanelControl::Step(const std::string& serial, uint32_t encoderBit) {
  return Send("STEP " + serial + " " + Hex(encoderBit));
}

bool PanelControl::SendButtons(const std::string& serial, uint32_t value) {
  return Send("BUTTONS " + serial + " " + Hex(value));
}

bool PanelControl::SwitchPage(const std::string& serial, int page) {
  return Send("PAGE " + serial + " " + std::to_string(page));
}

bool PanelControl::NotifyPage(const std::string& serial, uint32_t page, bool activated) {
  return Send("NOTIFYPAGE " + serial + " " + std::to_string(page) + (activated ? " 1" : " 0"));
}

std::vector<uint8_t> PanelControl::Image(const std::string& serial, uint32_t page) {
  std::string bytes;
  if (!Send("IMAGE " + serial + " " + std::to_string(page), &bytes)) return {};
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::vector<CallRecord> PanelControl::Log(const std::string& serial) {
  std::string text;
  if (!Send(serial.empty() ? std::string("LOG") : "LOG " + serial, &text)) return {};
  std::vector<CallRecord> records;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    if (std::optional<LogLine> line = ParseLogLine(std::string_view(text).substr(at, end - at))) {
      records.push_back({line->sequence, line->tick, line->thread, line->name, line->args,
                         line->result});
    }
    at = end + 1;
  }
  return records;
}

bool PanelControl::ClearLog() { return Send("CLEARLOG"); }

bool PanelControl::Fault(const std::string& call, int32_t result, bool always) {
  return Send("FAULT " + call + " " + Hex(static_cast<uint32_t>(result)) +
              (always ? " always" : " once"));
}

bool PanelControl::ClearFaults() { return Send("CLEARFAULTS"); }

bool PanelControl::Crash(const std::string& call) { return Send("CRASH " + call); }

bool PanelControl::FailDeviceType(const std::string& serial, bool fail) {
  return Send("TYPEFAIL " + serial + (fail ? " 1" : " 0"));
}

bool PanelControl::SetImageDelay(uint32_t milliseconds) {
  return Send("DELAY " + std::to_string(milliseconds));
}

bool PanelControl::SetChangesApart(bool apart) {
  return Send(apart ? "CHANGESAPART 1" : "CHANGESAPART 0");
}

bool PanelControl::SetLedDelay(uint32_t milliseconds) {
  return Send("LEDDELAY " + std::to_string(milliseconds));
}

bool PanelControl::SetInactivePagesRefuse(bool refuse) {
  return Send(refuse ? "REFUSE 1" : "REFUSE 0");
}

bool PanelControl::SelectInFolderBrowser(const std::wstring& path) {
  char utf8[4 * MAX_PATH] = {};
  if (!path.empty() && WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, utf8, sizeof(utf8),
                                           nullptr, nullptr) == 0) {
    return false;
  }
  return Send(std::string("BROWSE ") + utf8);
}

}  // namespace emu
