// Client side of the panel emulator's control channel. Tests and the viewer use it to talk to the
// stand-in panel library that lives inside the program's process: add and remove panels, press
// buttons, turn encoders, switch pages, inject faults, and read back what the program sent.
//
// The emulator is configured at load time through the environment (see emulator/README.md):
//   PANELCAST_EMU_PIPE      full pipe name of the control channel, e.g. \\.\pipe\panelcast-emu-1
//   PANELCAST_EMU_PANELS    panels present at load, comma separated, each SERIAL or SERIAL:TYPE
//                           (TYPE "fip" by default, "other" for a panel of another type)
//   PANELCAST_EMU_COUNT     alternatively, N panels with serials EMU0001, EMU0002, ...
//   PANELCAST_EMU_FAULTS    faults active from the start: Call=HRESULT[:once|:always];...
//   PANELCAST_EMU_TYPE_FAILS serials whose GetDeviceType fails, comma separated
//   PANELCAST_EMU_INACTIVE_REFUSES  1: SetImage/SetLed on a page that is not active answer
//                           E_PAGENOTACTIVE (off by default)
//   PANELCAST_EMU_LOG       file that receives every call, one line each, as it happens; it
//                           outlives the process, so tests read it after the program has ended
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace emu {

inline constexpr std::size_t kFrameBytes = 230400;

struct PageInfo {
  uint32_t number = 0;
  uint32_t flags = 0;            // flags passed to AddPage
  bool active = false;
  bool leds[6] = {};             // light n of the page is leds[n - 1]
  uint32_t imageCount = 0;       // SetImage calls that changed the page (blanking included)
  uint32_t lastImageTick = 0;    // GetTickCount() of the last one, 0 when none
  bool blank = true;             // no picture: never set, or last SetImage had 0 bytes
};

struct PanelInfo {
  uintptr_t handle = 0;          // the device handle the program sees
  std::string serial;
  std::string type;              // "fip" or "other"
  int activePage = 0;            // 0: none; -1: a page of another program is shown
  uint32_t sendsUnderWay = 0;    // SetImage calls of the program inside their delay now
  std::vector<PageInfo> pages;
};

struct CallRecord {
  uint32_t sequence = 0;         // order of the call across all panels
  uint32_t tick = 0;             // GetTickCount() when the call was made
  uint32_t thread = 0;           // id of the calling thread
  std::string name;              // entry point without the "DirectOutput_" prefix, e.g. "SetImage"
  std::string args;              // the arguments as text, e.g. "dev=EMU0001 page=1 index=0 len=230400"
  int32_t result = 0;            // HRESULT answered
};

class PanelControl {
 public:
  // Uses PANELCAST_EMU_PIPE when pipeName is empty.
  explicit PanelControl(std::wstring pipeName = {});

  // Waits until the program has loaded the emulator and its control channel answers.
  bool WaitForServer(DWORD timeoutMs);

  // Panels. Returns false when the emulator refuses (unknown serial, duplicate...).
  bool AddPanel(const std::string& serial, const std::string& type = "fip");
  bool RemovePanel(const std::string& serial);
  std::vector<PanelInfo> Panels();
  std::optional<PanelInfo> Panel(const std::string& serial);

  // Input. Each returns once the program's callback for it has returned (or the panel has no
  // client that gets it). Press adds the buttons to what is held and reports the whole mask,
  // Release takes them away and reports what is left (0 when nothing is held). Step reports one
  // encoder bit (0x02, 0x04, 0x08, 0x10), then 0. SendButtons reports a raw value once.
  bool Press(const std::string& serial, uint32_t buttons);
  bool Release(const std::string& serial, uint32_t buttons);
  bool Click(const std::string& serial, uint32_t buttons);  // Press, then Release
  bool Step(const std::string& serial, uint32_t encoderBit);
  bool SendButtons(const std::string& serial, uint32_t value);
  // Makes page `page` the active one (0: a page of another program), with page callbacks.
  bool SwitchPage(const std::string& serial, int page);
  // Delivers one page callback for any page number, the program's or not, without changing
  // which page is shown.
  bool NotifyPage(const std::string& serial, uint32_t page, bool activated);

  // What the program sent: the last image of a page (230400 bytes; empty when blank).
  std::vector<uint8_t> Image(const std::string& serial, uint32_t page);

  // The calls made so far, oldest first, optionally only those naming one panel.
  std::vector<CallRecord> Log(const std::string& serial = {});
  bool ClearLog();

  // Faults: `call` answers `result` once or always (always=false: once); clear with ClearFaults.
  bool Fault(const std::string& call, int32_t result, bool always);
  bool ClearFaults();
  // The next `call` raises an access violation in its caller's thread; "SoftButtonHandler": the
  // library's own thread raises one just before it next calls a soft-button handler.
  bool Crash(const std::string& call);
  bool FailDeviceType(const std::string& serial, bool fail);
  bool SetImageDelay(uint32_t milliseconds);        // every SetImage takes this long
  bool SetLedDelay(uint32_t milliseconds);          // every SetLed takes this long
  // Arrivals and removals told on a thread of their own, beside the one of pages and buttons.
  bool SetChangesApart(bool apart);
  bool SetInactivePagesRefuse(bool refuse);

  // Sets the selection of the program's open folder browser to `path` (false when none is open).
  bool SelectInFolderBrowser(const std::wstring& path);

  // One raw command of the control protocol (emulator/README.md); true when answered "ok".
  bool Send(const std::string& command, std::string* payload = nullptr);

 private:
  std::wstring pipeName_;
};

}  // namespace emu
