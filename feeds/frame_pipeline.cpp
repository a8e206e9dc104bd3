#include "feeds/frame_pipeline.h"

#include <algorithm>

#include "devices/slot_table.h"
#include "feeds/bitmap_resource.h"
#include "feeds/capture_surface.h"
#include "feeds/frame_format.h"
#include "feeds/panel_lights.h"
#include "feeds/worker_supervision.h"
#include "panel_library/direct_output_api.h"

namespace panelcast {
namespace {

constexpr DWORD kDelayUnitMs = 100;
constexpr DWORD kAddPageActive = directoutput::kPageFlagSetAsActive;

void* HandlerContext() { return const_cast<char*>(kHandlerContext); }

// Sleeps `milliseconds`, but no longer than the slot is to keep running.
void Pause(const DeviceSlot& slot, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds || slot.runFlag.load() != 1) return;
    Sleep(std::min(kPauseSliceMs, milliseconds - elapsed));
  }
}

DWORD DelayMs(const DeviceSlot& slot) {
  const int32_t delay = slot.refreshDelay.load();
  return delay > 0 ? static_cast<DWORD>(delay) * kDelayUnitMs : 0;
}

void RemovePages(directoutput::DeviceHandle device, const PanelPages& pages) {
  for (int p = 0; p < pages.count; ++p) (void)DirectOutput().RemovePage(device, pages.numbers[p]);
}

void BlankPage(directoutput::DeviceHandle device, DWORD page) {
  (void)DirectOutput().SetImage(device, page, 0, 0, nullptr);
}

// Registers the handlers and adds the pages; on a refusal, takes back the pages it added.
bool RegisterAndAddPages(directoutput::DeviceHandle device, const ScreenFeederConfig& config,
                         PanelPages& added) {
  const DirectOutputApi& api = DirectOutput();
  added.count = 0;
  if (api.RegisterPageCallback(device, config.pageHandler, HandlerContext()) < 0) return false;
  if (api.RegisterSoftButtonCallback(device, config.softButtonHandler, HandlerContext()) < 0) {
    return false;
  }
  for (int p = 0; p < config.pageCount; ++p) {
    const DWORD number = static_cast<DWORD>(p + 1);
    if (api.AddPage(device, number, p == 0 ? kAddPageActive : 0) < 0) {
      RemovePages(device, added);
      return false;
    }
    added.numbers[added.count++] = number;
  }
  return true;
}

struct FeederBitmaps {
  FrameBitmap splash;
  const uint8_t* hints[2] = {};  // null when missing, or too short to cover a frame
};

FeederBitmaps LoadBitmaps(const ScreenFeederConfig& config) {
  FeederBitmaps bitmaps;
  const HMODULE module = ResourceModule();
  if (config.splashId) bitmaps.splash = LoadFrameBitmap(module, config.splashId);
  for (int p = 0; p < config.pageCount; ++p) {
    if (!config.hintIds[p]) continue;
    const FrameBitmap hints = LoadFrameBitmap(module, config.hintIds[p]);
    if (hints.length >= kFrameBytes) bitmaps.hints[p] = hints.pixels;
  }
  return bitmaps;
}

void ShowOtherDepth(directoutput::DeviceHandle device, const ScreenFeederConfig& config,
                    const PanelPages& pages, const FrameBitmap& splash) {
  if (config.otherDepth == OtherDepthFrame::kBlankFirstPage) {
    BlankPage(device, pages.numbers[0]);
    return;
  }
  for (int p = 0; p < pages.count; ++p) {
    if (splash) {
      (void)DirectOutput().SetImage(device, pages.numbers[p], 0, splash.length, splash.pixels);
    } else {
      BlankPage(device, pages.numbers[p]);
    }
  }
}

// The frame cycles, until runFlag drops.
void RunFrameCycles(DeviceSlot& slot, directoutput::DeviceHandle device,
                    const ScreenFeederConfig& config, const PanelPages& pages,
                    const FeederBitmaps& bitmaps, CaptureSurface& surface) {
  while (slot.runFlag.load() == 1) {
    uint8_t* frame = nullptr;
    const CaptureSurface::Capture capture = surface.CaptureFrame(config.sourceRect(slot), frame);
    if (capture == CaptureSurface::Capture::kFailed) {
      Pause(slot, kFailedCyclePauseMs);
      continue;
    }
    if (capture == CaptureSurface::Capture::kOtherDepth) {
      ShowOtherDepth(device, config, pages, bitmaps.splash);
      Pause(slot, DelayMs(slot));
      continue;
    }
    const int page = config.framePage ? std::clamp(config.framePage(), 0, pages.count - 1) : 0;
    if (slot.showHints.load() == 1 && bitmaps.hints[page]) {
      OverlayHints(frame, bitmaps.hints[page], kFrameBytes);
    }
    const HRESULT sent = DirectOutput().SetImage(device, pages.numbers[page], 0, kFrameBytes, frame);
    Pause(slot, sent < 0 ? std::max(DelayMs(slot), kFailedCyclePauseMs) : DelayMs(slot));
  }
}

DWORD RunFeeder(DeviceSlot& slot, const ScreenFeederConfig& config) {
  const directoutput::DeviceHandle device = slot.device.load();
  PanelPages pages;
  if (!RegisterAndAddPages(device, config, pages)) return kWorkerGaveUp;

  const FeederBitmaps bitmaps = LoadBitmaps(config);
  if (bitmaps.splash) {
    (void)DirectOutput().SetImage(device, pages.numbers[0], 0, bitmaps.splash.length,
                                  bitmaps.splash.pixels);
  }
  SweepLights(device, pages, slot.buttonLights);

  CaptureSurface surface;
  if (!surface.Open()) {
    RemovePages(device, pages);
    return kWorkerGaveUp;
  }
  RunFrameCycles(slot, device, config, pages, bitmaps, surface);

  for (int p = 0; p < pages.count; ++p) BlankPage(device, pages.numbers[p]);
  RemovePages(device, pages);
  return kWorkerFinished;
}

}  // namespace

DWORD RunScreenFeeder(int slotIndex, const ScreenFeederConfig& config) {
  DeviceSlot& slot = Slots()->slots[slotIndex];
  const DWORD exitCode = RunFeeder(slot, config);  // the surface is gone by now
  return EndWorker(slot, exitCode);
}

}  // namespace panelcast
