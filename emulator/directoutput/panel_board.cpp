#include "emulator/directoutput/panel_board.h"

#include <algorithm>
#include <cstring>

#include "emulator/directoutput/result_codes.h"

namespace emu {

namespace {

bool IsEncoderBit(uint32_t bit) { return bit == 0x02 || bit == 0x04 || bit == 0x08 || bit == 0x10; }

}  // namespace

std::optional<uintptr_t> PanelBoard::AddPanel(const std::string& serial, const std::string& type,
                                              std::vector<Notice>& notices) {
  if (serial.empty() || FindSerial(serial) != nullptr) return std::nullopt;
  // Handles step by 0x40 so they look like the addresses of separate records.
  lastHandle_ += 0x40;
  BoardPanel panel;
  panel.handle = lastHandle_;
  panel.serial = serial;
  panel.type = type;
  panels_.push_back(panel);
  notices.push_back({Notice::Kind::Arrival, panel.handle});
  return panel.handle;
}

bool PanelBoard::RemovePanel(const std::string& serial, std::vector<Notice>& notices) {
  auto it = std::find_if(panels_.begin(), panels_.end(),
                         [&](const BoardPanel& p) { return p.serial == serial; });
  if (it == panels_.end()) return false;
  // The handle is dead before the program hears of the removal, as with a cable pulled out.
  notices.push_back({Notice::Kind::Removal, it->handle});
  panels_.erase(it);
  return true;
}

BoardPanel* PanelBoard::Find(uintptr_t handle) {
  for (BoardPanel& panel : panels_) {
    if (panel.handle == handle) return &panel;
  }
  return nullptr;
}

BoardPanel* PanelBoard::FindSerial(const std::string& serial) {
  for (BoardPanel& panel : panels_) {
    if (panel.serial == serial) return &panel;
  }
  return nullptr;
}

BoardPage* PanelBoard::FindPage(BoardPanel& panel, uint32_t page) {
  for (BoardPage& p : panel.pages) {
    if (p.number == page) return &p;
  }
  return nullptr;
}

int32_t PanelBoard::AddPage(uintptr_t device, uint32_t page, uint32_t flags) {
  BoardPanel* panel = Find(device);
  if (panel == nullptr) return codes::kHandle;
  if (page == 0 || page > 0x7FFFFFFF || FindPage(*panel, page) != nullptr) {
    return codes::kInvalidArg;
  }
  BoardPage added;
  added.number = page;
  added.flags = flags;
  auto at = std::find_if(panel->pages.begin(), panel->pages.end(),
                         [&](const BoardPage& p) { return p.number > page; });
  panel->pages.insert(at, added);
  // The program's own request needs no notice: it knows which page it asked for.
  if (flags & 1) panel->activePage = static_cast<int>(page);
  return codes::kOk;
}

int32_t PanelBoard::RemovePage(uintptr_t device, uint32_t page) {
  BoardPanel* panel = Find(device);
  if (panel == nullptr) return codes::kHandle;
  auto it = std::find_if(panel->pages.begin(), panel->pages.end(),
                         [&](const BoardPage& p) { return p.number == page; });
  if (it == panel->pages.end()) return codes::kInvalidArg;
  panel->pages.erase(it);
  if (panel->activePage == static_cast<int>(page)) panel->activePage = 0;
  return codes::kOk;
}

int32_t PanelBoard::CheckPage(uintptr_t device, uint32_t page) {
  BoardPanel* panel = Find(device);
  if (panel == nullptr) return codes::kHandle;
  return FindPage(*panel, page) == nullptr ? codes::kInvalidArg : codes::kOk;
}

int32_t PanelBoard::SetLed(uintptr_t device, uint32_t page, uint32_t index, uint32_t value) {
  int32_t check = CheckPage(device, page);
  if (check != codes::kOk) return check;
  if (index < 1 || index > 6) return codes::kInvalidArg;
  BoardPanel& panel = *Find(device);
  if (refuseInactive && panel.activePage != static_cast<int>(page)) return codes::kPageNotActive;
  FindPage(panel, page)->leds[index - 1] = value != 0;
  return codes::kOk;
}

int32_t PanelBoard::SetImage(uintptr_t device, uint32_t page, uint32_t index, uint32_t length,
                             const void* data, uint32_t tick) {
  int32_t check = CheckPage(device, page);
  if (check != codes::kOk) return check;
  if (index != 0) return codes::kInvalidArg;
  if (length != 0 && length != kImageBytes) return codes::kBufferTooSmall;
  if (length != 0 && data == nullptr) return codes::kInvalidArg;
  BoardPanel& panel = *Find(device);
  if (refuseInactive && panel.activePage != static_cast<int>(page)) return codes::kPageNotActive;
  BoardPage& target = *FindPage(panel, page);
  if (length == 0) {
    target.image.clear();
  } else {
    target.image.resize(kImageBytes);
    std::memcpy(target.image.data(), data, kImageBytes);
  }
  ++target.imageCount;
  target.lastImageTick = tick;
  return codes::kOk;
}

void PanelBoard::ForgetProgram() {
  for (BoardPanel& panel : panels_) {
    panel.onPage = {};
    panel.onButtons = {};
    panel.pages.clear();
    if (panel.activePage > 0) panel.activePage = 0;
  }
}

bool PanelBoard::SwitchPage(const std::string& serial, int page, std::vector<Notice>& notices) {
  BoardPanel* panel = FindSerial(serial);
  if (panel == nullptr || page < 0) return false;
  int target = page == 0 ? kOtherProgramsPage : page;
  if (page > 0 && FindPage(*panel, static_cast<uint32_t>(page)) == nullptr) return false;
  if (target == panel->activePage) return true;
  if (panel->activePage > 0) {
    notices.push_back({Notice::Kind::PageChange, panel->handle,
                       static_cast<uint32_t>(panel->activePage), false});
  }
  if (target > 0) {
    notices.push_back({Notice::Kind::PageChange, panel->handle, static_cast<uint32_t>(target), true});
  }
  panel->activePage = target;
  return true;
}

void PanelBoard::ReportButtons(const BoardPanel& panel, uint32_t value,
                               std::vector<Notice>& notices) {
  // Buttons go to whichever program's page is shown; ours only when it is one of our pages.
  if (panel.activePage <= 0) return;
  Notice notice{Notice::Kind::Buttons, panel.handle};
  notice.buttons = value;
  notices.push_back(notice);
}

bool PanelBoard::Press(const std::string& serial, uint32_t buttons, std::vector<Notice>& notices) {
  BoardPanel* panel = FindSerial(serial);
  if (panel == nullptr || buttons == 0 || (buttons & ~kButtonBits) != 0) return false;
  panel->held |= buttons;
  ReportButtons(*panel, panel->held, notices);
  return true;
}

bool PanelBoard::Release(const std::string& serial, uint32_t buttons,
                         std::vector<Notice>& notices) {
  BoardPanel* panel = FindSerial(serial);
  if (panel == nullptr || buttons == 0 || (buttons & ~kButtonBits) != 0) return false;
  panel->held &= ~buttons;
  ReportButtons(*panel, panel->held, notices);
  return true;
}

bool PanelBoard::Step(const std::string& serial, uint32_t encoderBit,
                      std::vector<Notice>& notices) {
  BoardPanel* panel = FindSerial(serial);
  if (panel == nullptr || !IsEncoderBit(encoderBit)) return false;
  ReportButtons(*panel, panel->held | encoderBit, notices);
  ReportButtons(*panel, panel->held, notices);
  return true;
}

bool PanelBoard::SendButtons(const std::string& serial, uint32_t value,
                             std::vector<Notice>& notices) {
  BoardPanel* panel = FindSerial(serial);
  if (panel == nullptr) return false;
  ReportButtons(*panel, value, notices);
  return true;
}

}  // namespace emu
