#include "monitor/live_monitor.h"

#include "devices/slot_table.h"
#include "feeds/live_buttons.h"
#include "feeds/panel_lights.h"
#include "feeds/worker_supervision.h"
#include "resources/resource_ids.h"

namespace panelcast {
namespace {

constexpr DWORD kLivePage = 1;
constexpr PanelPages kLivePages{{kLivePage, 0}, 1};

SourceRect LiveMonitorSourceRect(const DeviceSlot& slot) {
  return LiveSourceRect(slot.captureRect.left.load(), slot.captureRect.top.load(),
                        slot.captureRect.right.load(), slot.captureRect.bottom.load());
}

}  // namespace

ScreenFeederConfig LiveMonitorConfig() {
  ScreenFeederConfig config;
  config.pageHandler = OnLivePageChange;
  config.softButtonHandler = OnLiveSoftButton;
  config.pageCount = 1;
  config.splashId = IDB_SPLASH_LIVE;
  config.hintIds[0] = IDB_HINTS_LIVE;
  config.sourceRect = LiveMonitorSourceRect;
  config.otherDepth = OtherDepthFrame::kBlankFirstPage;
  return config;
}

DWORD WINAPI LiveMonitorFeeder(void* slotIndexAsPointer) {
  return RunScreenFeeder(SlotIndexFromArgument(slotIndexAsPointer), LiveMonitorConfig());
}

void __stdcall OnLivePageChange(directoutput::DeviceHandle device, DWORD page, bool /*activated*/,
                                void* /*context*/) {
  DeviceSlot* slot = SlotOfDevice(device);
  if (!slot || page != kLivePage) return;
  SetAllLights(device, kLivePages, kLightLit);
  if (slot->buttonLights.load() == 0) SetAllLights(device, kLivePages, kLightDark);
}

void __stdcall OnLiveSoftButton(directoutput::DeviceHandle device, DWORD buttons,
                                void* /*context*/) {
  DeviceSlot* slot = SlotOfDevice(device);
  if (!slot) return;
  const LiveButtonPress press = DecodeLiveButtons(buttons);
  switch (press.action) {
    case LiveAction::kFlipHints:
      slot->showHints = FlipSwitch(slot->showHints.load());
      break;
    case LiveAction::kFlipLights:
      SetAllLights(device, kLivePages, FlipLightSwitch(slot->buttonLights));
      break;
    case LiveAction::kSetDelay:
      slot->refreshDelay = press.button - 1;
      BlinkLight(device, kLivePage, static_cast<DWORD>(press.button), slot->buttonLights);
      break;
    case LiveAction::kStepUp:
      slot->refreshDelay = StepDelayUp(slot->refreshDelay.load());
      break;
    case LiveAction::kStepDown:
      slot->refreshDelay = StepDelayDown(slot->refreshDelay.load());
      break;
    case LiveAction::kNone:
      break;
  }
}

}  // namespace panelcast
