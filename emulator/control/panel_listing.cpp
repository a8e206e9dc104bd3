#include "emulator/control/panel_listing.h"

#include <cstdio>
#include <cstdlib>

namespace emu {

namespace {

uint32_t Number(const std::string& word, int base = 10) {
  return static_cast<uint32_t>(std::strtoul(word.c_str(), nullptr, base));
}

}  // namespace

std::vector<std::string> SplitWords(std::string_view text) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find_first_of(" \t\r\n", at);
    if (end == std::string_view::npos) end = text.size();
    if (end > at) words.emplace_back(text.substr(at, end - at));
    at = end + 1;
  }
  return words;
}

std::string FormatPanels(const std::vector<PanelInfo>& panels) {
  std::string text;
  char line[160];
  for (const PanelInfo& panel : panels) {
    std::snprintf(line, sizeof line, "panel 0x%08X %s %s %d %u\n",
                  static_cast<unsigned>(panel.handle), panel.serial.c_str(), panel.type.c_str(),
                  panel.activePage, panel.sendsUnderWay);
    text += line;
    for (const PageInfo& page : panel.pages) {
      char leds[7] = {};
      for (int n = 0; n < 6; ++n) leds[n] = page.leds[n] ? '1' : '0';
      std::snprintf(line, sizeof line, "page %u %u %d %s %u %u %d\n", page.number, page.flags,
                    page.active ? 1 : 0, leds, page.imageCount, page.lastImageTick,
                    page.blank ? 1 : 0);
      text += line;
    }
  }
  return text;
}

std::vector<PanelInfo> ParsePanels(std::string_view text) {
  std::vector<PanelInfo> panels;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::vector<std::string> words = SplitWords(text.substr(at, end - at));
    at = end + 1;
    if (words.size() == 6 && words[0] == "panel") {
      PanelInfo panel;
      panel.handle = Number(words[1], 16);
      panel.serial = words[2];
      panel.type = words[3];
      panel.activePage = std::atoi(words[4].c_str());
      panel.sendsUnderWay = Number(words[5]);
      panels.push_back(panel);
    } else if (words.size() == 8 && words[0] == "page" && !panels.empty() &&
               words[4].size() == 6) {
      PageInfo page;
      page.number = Number(words[1]);
      page.flags = Number(words[2]);
      page.active = words[3] == "1";
      for (int n = 0; n < 6; ++n) page.leds[n] = words[4][n] == '1';
      page.imageCount = Number(words[5]);
      page.lastImageTick = Number(words[6]);
      page.blank = words[7] == "1";
      panels.back().pages.push_back(page);
    }
  }
  return panels;
}

}  // namespace emu
