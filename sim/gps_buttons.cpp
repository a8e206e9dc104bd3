#include "sim/gps_buttons.h"

#include "devices/slot_table.h"
#include "feeds/live_buttons.h"
#include "feeds/panel_lights.h"
#include "panel_library/direct_output_api.h"
#include "sim/gps_events.h"
#include "sim/simconnect_library.h"
#include "sim/simulator_presence.h"

namespace panelcast {

std::atomic<int32_t> gpsPage{0};

namespace {

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

void FlipLights(directoutput::DeviceHandle device, DeviceSlot& slot) {
  const DWORD value = FlipLightSwitch(slot.buttonLights);
  SetAllLights(device, OnePage(1), value);
  SetAllLights(device, OnePage(2), value);
}

// One connection for one press; closed only after the light has blinked.
void SendPress(directoutput::DeviceHandle device, DeviceSlot& slot, const GpsPress& press,
               int32_t page) {
  const SimConnectApi* api = SimConnect();
  if (!api) return;  // no library: as a connection that cannot be opened
  HANDLE connection = nullptr;
  if (api->Open(&connection, kClientName, nullptr, 0, nullptr, 0) < 0) return;
  for (int i = 0; i < press.eventCount; ++i) SendEvent(*api, connection, press.events[i]);
  if (press.action == GpsAction::kButton) {
    BlinkLight(device, PanelPageForGpsPage(page), static_cast<DWORD>(press.button),
               slot.buttonLights);
  }
  (void)api->Close(connection);
}

}  // namespace

void __stdcall OnGpsSoftButton(directoutput::DeviceHandle device, DWORD buttons,
                               void* /*context*/) {
  DeviceSlot* slot = SlotOfDevice(device);
  if (!slot) return;
  // One read of the page: the event and the light that blinks belong to the same page.
  const int32_t page = gpsPage.load();
  const GpsPress press = DecodeGpsButtons(buttons, page);
  switch (press.action) {
    case GpsAction::kFlipHints:
      slot->showHints = FlipSwitch(slot->showHints.load());
      return;
    case GpsAction::kFlipLights:
      FlipLights(device, *slot);
      return;
    case GpsAction::kButton:
    case GpsAction::kKnobs:
      if (IsSimulatorRunning() == 0) return;
      SendPress(device, *slot, press, page);
      return;
  }
}

void __stdcall OnGpsPageChange(directoutput::DeviceHandle device, DWORD page, bool /*activated*/,
                               void* /*context*/) {
  DeviceSlot* slot = SlotOfDevice(device);
  if (!slot || IsSimulatorRunning() == 0) return;
  const std::optional<int32_t> newPage = GpsPageForPanelPage(page);
  if (!newPage) return;
  gpsPage = *newPage;
  SetAllLights(device, OnePage(page), kLightLit);
  if (slot->buttonLights.load() == 0) SetAllLights(device, OnePage(page), kLightDark);
}

}  // namespace panelcast
