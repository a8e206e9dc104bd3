#include "images/static_images.h"

#include "base/file_exists.h"
#include "devices/slot_table.h"
#include "feeds/bitmap_resource.h"
#include "feeds/live_buttons.h"
#include "feeds/panel_lights.h"
#include "feeds/worker_supervision.h"
#include "images/image_path.h"
#include "images/render_image.h"
#include "images/static_buttons.h"
#include "panel_library/direct_output_api.h"
#include "resources/resource_ids.h"

namespace panelcast {
namespace {

constexpr DWORD kStaticPage = 1;
constexpr PanelPages kStaticPages{{kStaticPage, 0}, 1};
// The worker only waits for its stop; the handlers do the work. One wake-up a second.
constexpr DWORD kIdleWakeMs = 1000;

void* HandlerContext() { return const_cast<char*>(kHandlerContext); }

// Image `image` of the slot's current set on page 1, then its light blinks. A file that is not
// there (or whose path would not fit) darkens the light and leaves the screen as it is; a file
// that is there but does not decode still blinks, though nothing is sent.
void ShowImage(directoutput::DeviceHandle device, int slotIndex, int image) {
  DeviceSlot& slot = Slots()->slots[slotIndex];
  const int32_t format = slot.imageFormat.load();
  const wchar_t* name = ImageFileName(format, image);
  if (!name) return;
  wchar_t folder[kPathCapacity];
  slot.folderPath.Get(folder);
  wchar_t path[kImagePathCapacity];
  if (!JoinFolderAndName(folder, name, path, kImagePathCapacity) || !FileExists(path)) {
    (void)DirectOutput().SetLed(device, kStaticPage, static_cast<DWORD>(image), kLightDark);
    return;
  }
  RenderImageFile(device, slotIndex, path, HintBitmapOfFormat(format));
  BlinkLight(device, kStaticPage, static_cast<DWORD>(image), slot.buttonLights);
}

int SlotIndexOfDevice(directoutput::DeviceHandle device) {
  SlotTable* table = Slots();
  return table ? FindSlotByDevice(*table, device) : -1;
}

DWORD RunStaticImages(DeviceSlot& slot) {
  const directoutput::DeviceHandle device = slot.device.load();
  const DirectOutputApi& api = DirectOutput();
  if (api.RegisterPageCallback(device, OnStaticPageChange, HandlerContext()) < 0 ||
      api.RegisterSoftButtonCallback(device, OnStaticSoftButton, HandlerContext()) < 0 ||
      api.AddPage(device, kStaticPage, directoutput::kPageFlagSetAsActive) < 0) {
    return kWorkerGaveUp;  // no page was added, so none is left behind
  }
  const FrameBitmap splash = LoadFrameBitmap(ResourceModule(), IDB_SPLASH_STATIC);
  if (splash) (void)api.SetImage(device, kStaticPage, 0, splash.length, splash.pixels);
  SweepLights(device, kStaticPages, slot.buttonLights);

  slot.imageNumber = 1;
  OnStaticSoftButton(device, ButtonValueOfImage(1), HandlerContext());
  while (slot.runFlag.load() == 1) Sleep(kIdleWakeMs);

  // The picture stays until the page goes; the handlers stay registered (the library decides
  // what it still delivers to them) and work from the slot's fields alone.
  (void)api.RemovePage(device, kStaticPage);
  return kWorkerFinished;
}

}  // namespace

DWORD WINAPI StaticImageFeeder(void* slotIndexAsPointer) {
  DeviceSlot& slot = Slots()->slots[SlotIndexFromArgument(slotIndexAsPointer)];
  return EndWorker(slot, RunStaticImages(slot));
}

void __stdcall OnStaticSoftButton(directoutput::DeviceHandle device, DWORD buttons,
                                  void* /*context*/) {
  const int index = SlotIndexOfDevice(device);
  if (index < 0) return;
  DeviceSlot& slot = Slots()->slots[index];
  const StaticButtonPress press = DecodeStaticButtons(buttons);
  switch (press.action) {
    case StaticAction::kFlipHints:
      // Nothing is redrawn: the labels follow with the next picture shown.
      slot.showHints = FlipSwitch(slot.showHints.load());
      break;
    case StaticAction::kFlipLights:
      SetAllLights(device, kStaticPages, FlipLightSwitch(slot.buttonLights));
      break;
    case StaticAction::kFlipFormat:
      slot.imageFormat = FlipSwitch(slot.imageFormat.load());
      ShowImage(device, index, 1);
      break;
    case StaticAction::kShowImage:
      ShowImage(device, index, press.image);
      break;
    case StaticAction::kStepForward: {
      const uint16_t image = StepImageForward(slot.imageNumber.load());
      slot.imageNumber = image;
      ShowImage(device, index, image);
      break;
    }
    case StaticAction::kStepBack: {
      const uint16_t image = StepImageBack(slot.imageNumber.load());
      slot.imageNumber = image;
      ShowImage(device, index, image);
      break;
    }
    case StaticAction::kNone:
      break;
  }
}

void __stdcall OnStaticPageChange(directoutput::DeviceHandle device, DWORD page,
                                  bool /*activated*/, void* /*context*/) {
  const int index = SlotIndexOfDevice(device);
  if (index < 0 || page != kStaticPage) return;
  SetAllLights(device, kStaticPages, kLightLit);
  if (Slots()->slots[index].buttonLights.load() == 0) {
    SetAllLights(device, kStaticPages, kLightDark);
  }
  ShowImage(device, index, 1);
}

}  // namespace panelcast
