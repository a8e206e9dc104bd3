#include "sim/gps_buttons.h"

#include <atomic>
#include <optional>

#include "devices/slot_table.h"
#include "feeds/live_buttons.h"
#include "feeds/panel_lights.h"
#include "panel_library/direct_output_api.h"
#include "sim/gps_events.h"
#include "sim/simconnect_library.h"
#include "sim/simulator_presence.h"

namespace panelcast {

namespace {

// Written by OnGpsPageChange (the panel library's callback thread); read by OnGpsSoftButton and
// the GPS gauge workers.
std::atomic<int32_t> g_gpsPage{0};

constexpr char kClientName[] = "SEND GPS EVENT";
constexpr DWORD kClientEventId = 0;  // one id serves every event: each connection maps it anew

constexpr PanelPages OnePage(DWORD page) { return PanelPages{{page, 0}, 1}; }

// Maps the one client event id to `name` and sends it to the user's aircraft at top priority.
// The library's answers are not read: a press that does not arrive is simply pressed again.
void SendEvent(const SimConnectApi& api, HANDLE connection, const char* name) {
  (void)api.MapClientEventToSimEvent(connection, kClientEventId, name);
  (void)api.TransmitClientEvent(connection, simconnect::kUserObject, kClientEventId, 0,
                                simconnect::kHighestPriority, simconnect::kGroupIdIsPriority);
}

// One connection for one press; closed only after the light has blinked.
void SendPress(directoutput::DeviceHandle device, const GpsPress& press, int32_t page) {
  const SimConnectApi* api = SimConnect();
  if (!api) return;  // no library: as a connection that cannot be opened
  HANDLE connection = nullptr;
  if (api->Open(&connection, kClientName, nullptr, 0, nullptr, 0) < 0) return;
  for (int i = 0; i < press.eventCount; ++i) SendEvent(*api, connection, press.events[i]);
  if (press.action == GpsAction::kButton) {
    BlinkLight(device, PanelPageForGpsPage(page), static_cast<DWORD>(press.button));
  }
  (void)api->Close(connection);
}

}  // namespace

int32_t CurrentGpsPage() { return g_gpsPage.load(); }

// The chords work with or without the simulator; the slot is not needed for the rest.
void __stdcall OnGpsSoftButton(directoutput::DeviceHandle device, DWORD buttons,
                               void* /*context*/) {
  if (AnswerSwitchChord(device, buttons, PanelPages{{1, 2}, 2})) return;
  if (!HasSlot(device)) return;
  // One read of the page: the event and the light that blinks belong to the same page.
  const int32_t page = g_gpsPage.load();
  const GpsPress press = DecodeGpsButtons(buttons, page);
  if (press.action != GpsAction::kButton && press.action != GpsAction::kKnobs) return;
  if (IsSimulatorRunning() == 0) return;
  SendPress(device, press, page);
}

void __stdcall OnGpsPageChange(directoutput::DeviceHandle device, DWORD page, bool /*activated*/,
                               void* /*context*/) {
  int32_t lights = 1;
  if (!ActOnSlotOf(device, [&](DeviceSlot& slot) { lights = slot.buttonLights.load(); })) return;
  if (IsSimulatorRunning() == 0) return;
  const std::optional<int32_t> newPage = GpsPageForPanelPage(page);
  if (!newPage) return;
  g_gpsPage = *newPage;
  SetAllLights(device, OnePage(page), kLightLit);
  if (lights == 0) SetAllLights(device, OnePage(page), kLightDark);
}

}  // namespace panelcast
