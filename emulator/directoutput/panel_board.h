// The emulated panels and what the program has put on them: pages, lights, images, the buttons
// held. Pure state and rules, no threads and no Windows: the library guards one board with its
// lock, calls in here for every entry point and control command, and delivers the notices that
// come back on its callback thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace emu {

inline constexpr uint32_t kImageBytes = 230400;  // 320 x 240 pixels, 3 bytes each
inline constexpr uint32_t kButtonBits = 0x7E0;   // soft buttons 1 to 6
inline constexpr int kOtherProgramsPage = -1;    // activePage while another program's page shows

// A callback the program registered, kept opaque here.
struct Handler {
  uintptr_t function = 0;
  uintptr_t context = 0;
};

struct BoardPage {
  uint32_t number = 0;
  uint32_t flags = 0;
  bool leds[6] = {};
  std::vector<uint8_t> image;  // kImageBytes, or empty when blank
  uint32_t imageCount = 0;
  uint32_t lastImageTick = 0;
};

struct BoardPanel {
  uintptr_t handle = 0;
  std::string serial;
  std::string type;
  int activePage = 0;  // 0: none; kOtherProgramsPage; else one of `pages`
  std::vector<BoardPage> pages;  // ascending page numbers
  uint32_t held = 0;             // buttons held down now
  uint32_t sendsUnderWay = 0;    // SetImage calls inside their delay now
  Handler onPage;
  Handler onButtons;
};

// Something the program is to be told on the callback thread.
struct Notice {
  enum class Kind { Arrival, Removal, PageChange, Buttons };
  Kind kind = Kind::Arrival;
  uintptr_t device = 0;
  uint32_t page = 0;
  bool activated = false;
  uint32_t buttons = 0;
};

class PanelBoard {
 public:
  // Panels come and go; a handle is never given out twice.
  std::optional<uintptr_t> AddPanel(const std::string& serial, const std::string& type,
                                    std::vector<Notice>& notices);
  bool RemovePanel(const std::string& serial, std::vector<Notice>& notices);
  BoardPanel* Find(uintptr_t handle);
  BoardPanel* FindSerial(const std::string& serial);
  const std::vector<BoardPanel>& Panels() const { return panels_; }

  // What the program's calls do; each answers a result code (codes::...).
  int32_t AddPage(uintptr_t device, uint32_t page, uint32_t flags);
  int32_t RemovePage(uintptr_t device, uint32_t page);
  int32_t SetLed(uintptr_t device, uint32_t page, uint32_t index, uint32_t value);
  int32_t SetImage(uintptr_t device, uint32_t page, uint32_t index, uint32_t length,
                   const void* data, uint32_t tick);
  int32_t CheckPage(uintptr_t device, uint32_t page);  // handle and page exist

  // The program let go of the library: its handlers and pages go.
  void ForgetProgram();

  // What a person does at a panel. False for an unknown serial or a value that makes no sense.
  bool SwitchPage(const std::string& serial, int page, std::vector<Notice>& notices);
  bool Press(const std::string& serial, uint32_t buttons, std::vector<Notice>& notices);
  bool Release(const std::string& serial, uint32_t buttons, std::vector<Notice>& notices);
  bool Step(const std::string& serial, uint32_t encoderBit, std::vector<Notice>& notices);
  bool SendButtons(const std::string& serial, uint32_t value, std::vector<Notice>& notices);

  bool refuseInactive = false;  // SetImage/SetLed on a page not shown answer kPageNotActive

 private:
  BoardPage* FindPage(BoardPanel& panel, uint32_t page);
  void ReportButtons(const BoardPanel& panel, uint32_t value, std::vector<Notice>& notices);

  uintptr_t lastHandle_ = 0x0E100000;
  std::vector<BoardPanel> panels_;
};

}  // namespace emu
