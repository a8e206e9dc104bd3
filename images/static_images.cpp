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

// What showing an image needs of the panel's slot, taken in one look.
struct ImageChoice {
  int32_t format = 0;
  wchar_t folder[kPathCapacity] = {};
};

// Image `image` of the panel's current set on page 1, then its light blinks. A file that is not
// there (or whose path would not fit) darkens the light and leaves the screen as it is; a file
// that is there but does not decode still blinks, though nothing is sent.
void ShowImage(directoutput::DeviceHandle device, int image) {
  ImageChoice choice;
  if (!ActOnSlotOf(device, [&](DeviceSlot& slot) {
        choice.format = slot.imageFormat.load();
        slot.folderPath.Get(choice.folder);
      })) {
    return;
  }
  const wchar_t* name = ImageFileName(choice.format, image);
  if (!name) return;
  wchar_t path[kImagePathCapacity];
  if (!JoinFolderAndName(choice.folder, name, path, kImagePathCapacity) || !FileExists(path)) {
    (void)DirectOutput().SetLed(device, kStaticPage, static_cast<DWORD>(image), kLightDark);
    return;
  }
  RenderImageFile(device, path, HintBitmapOfFormat(choice.format));
  BlinkLight(device, kStaticPage, static_cast<DWORD>(image));
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

// The slot's part of a press is done on the slot found at that moment; the picture and its
// light follow after.
void __stdcall OnStaticSoftButton(directoutput::DeviceHandle device, DWORD buttons,
                                  void* /*context*/) {
  // Hints: nothing is redrawn, the labels follow with the next picture shown.
  if (AnswerSwitchChord(device, buttons, kStaticPages)) return;
  const StaticButtonPress press = DecodeStaticButtons(buttons);
  int image = press.image;
  const bool known = ActOnSlotOf(device, [&](DeviceSlot& slot) {
    switch (press.action) {
      case StaticAction::kFlipFormat:
        (void)FlipSwitchOf(slot.imageFormat);
        image = 1;
        break;
      case StaticAction::kStepForward:
        image = StepImageForward(slot.imageNumber.load());
        slot.imageNumber = static_cast<uint16_t>(image);
        break;
      case StaticAction::kStepBack:
        image = StepImageBack(slot.imageNumber.load());
        slot.imageNumber = static_cast<uint16_t>(image);
        break;
      case StaticAction::kFlipHints:  // the chords are answered above
      case StaticAction::kFlipLights:
      case StaticAction::kShowImage:
      case StaticAction::kNone:
        break;
    }
  });
  if (known && press.action != StaticAction::kNone) ShowImage(device, image);
}

void __stdcall OnStaticPageChange(directoutput::DeviceHandle device, DWORD page,
                                  bool /*activated*/, void* /*context*/) {
  if (page != kStaticPage) return;
  int32_t lights = 1;
  if (!ActOnSlotOf(device, [&](DeviceSlot& slot) { lights = slot.buttonLights.load(); })) return;
  SetAllLights(device, kStaticPages, kLightLit);
  if (lights == 0) SetAllLights(device, kStaticPages, kLightDark);
  ShowImage(device, 1);
}

}  // namespace panelcast
