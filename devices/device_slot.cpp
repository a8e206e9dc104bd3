#include "devices/device_slot.h"

#include <cwchar>

namespace panelcast {

void FolderPath::Set(const wchar_t* path) {
  AcquireSRWLockExclusive(&lock_);
  std::wcsncpy(path_, path ? path : L"", kPathCapacity - 1);
  path_[kPathCapacity - 1] = L'\0';
  ReleaseSRWLockExclusive(&lock_);
}

void FolderPath::Get(wchar_t (&out)[kPathCapacity]) const {
  AcquireSRWLockShared(&lock_);
  std::wmemcpy(out, path_, kPathCapacity);
  ReleaseSRWLockShared(&lock_);
  out[kPathCapacity - 1] = L'\0';
}

void ResetSlotSettings(DeviceSlot& slot, int screenWidth, int screenHeight, const wchar_t* folder) {
  slot.runningMode = kModeIdle;
  slot.screenFlag = 1;
  slot.captureRect.left = 0;
  slot.captureRect.top = 0;
  slot.captureRect.right = screenWidth;
  slot.captureRect.bottom = screenHeight;
  slot.refreshDelay = 2;
  slot.workerThread = nullptr;
  slot.imageNumber = 1;
  slot.runFlag = 0;
  slot.imageFormat = 0;
  slot.showHints = 1;
  slot.buttonLights = 1;
  slot.folderPath.Set(folder);
}

void MoveSlot(DeviceSlot& to, DeviceSlot& from) {
  wchar_t folder[kPathCapacity];
  from.folderPath.Get(folder);
  to.folderPath.Set(folder);
  to.workerThread = from.workerThread.load();
  to.captureRect.left = from.captureRect.left.load();
  to.captureRect.top = from.captureRect.top.load();
  to.captureRect.right = from.captureRect.right.load();
  to.captureRect.bottom = from.captureRect.bottom.load();
  to.runFlag = from.runFlag.load();
  to.showHints = from.showHints.load();
  to.imageFormat = from.imageFormat.load();
  to.buttonLights = from.buttonLights.load();
  to.runningMode = from.runningMode.load();
  to.imageNumber = from.imageNumber.load();
  to.screenFlag = from.screenFlag.load();
  to.refreshDelay = from.refreshDelay.load();
  to.device = from.device.load();
  to.ownedThread = from.ownedThread;
}

int FindSlotByDevice(const SlotTable& table, directoutput::DeviceHandle device) {
  for (int i = 0; i < kMaxDevices; ++i) {
    if (table.slots[i].device.load() == device) return i;
  }
  return -1;
}

}  // namespace panelcast
