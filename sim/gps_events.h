// What a soft-button value means to the GPS gauge: the two chords, one of the six buttons with
// its simulator event on the current button page, or encoder steps with up to two knob events.
// No Windows header: built and tested natively as well.
#pragma once

#include <cstdint>
#include <optional>

namespace panelcast {

enum class GpsAction {
  kFlipHints,   // buttons 1 and 2 together; needs no simulator
  kFlipLights,  // buttons 3 and 4 together; needs no simulator
  kButton,      // one soft button: its event, then its light blinks
  kKnobs,       // anything else: the knob events of its encoder bits, maybe none
};

struct GpsPress {
  GpsAction action = GpsAction::kKnobs;
  int button = 0;                     // 1 to 6 for kButton
  const char* events[2] = {};         // in sending order: page knob first, then group knob
  int eventCount = 0;
};

// `gpsPage` 0 means button page 1, any other value button page 2.
GpsPress DecodeGpsButtons(uint32_t buttons, int32_t gpsPage);

// The gpsPage value a page notification sets: 0 for panel page 1, 1 for page 2, none for others.
std::optional<int32_t> GpsPageForPanelPage(uint32_t panelPage);

// The panel page that a gpsPage value names (1 or 2).
inline uint32_t PanelPageForGpsPage(int32_t gpsPage) { return gpsPage == 0 ? 1 : 2; }

}  // namespace panelcast
