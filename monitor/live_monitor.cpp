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
  if (page != kLivePage) return;
  int32_t lights = 1;
  if (!ActOnSlotOf(device, [&](DeviceSlot& slot) { lights = slot.buttonLights.load(); })) return;
  SetAllLights(device, kLivePages, kLightLit);
  if (lights == 0) SetAllLights(device, kLivePages, kLightDark);
}

// The slot's part of a press is done on the slot found at that moment; the light follows after.
void __stdcall OnLiveSoftButton(directoutput::DeviceHandle device, DWORD buttons,
                                void* /*context*/) {
  if (AnswerSwitchChord(device, buttons, kLivePages)) return;
  const LiveButtonPress press = DecodeLiveButtons(buttons);
  const bool known = ActOnSlotOf(device, [&](DeviceSlot& slot) {
    switch (press.action) {
      case LiveAction::kSetDelay:
        slot.refreshDelay = press.button - 1;
        break;
      case LiveAction::kStepUp:
        slot.refreshDelay = StepDelayUp(slot.refreshDelay.load());
        break;
      case LiveAction::kStepDown:
        slot.refreshDelay = StepDelayDown(slot.refreshDelay.load());
        break;
      case LiveAction::kFlipHints:  // the chords are answered above
      case LiveAction::kFlipLights:
      case LiveAction::kNone:
        break;
    }
  });
  if (known && press.action == LiveAction::kSetDelay) {
    BlinkLight(device, kLivePage, static_cast<DWORD>(press.button));
  }
}

}  // namespace panelcast
