// One connected panel's settings and worker state, in a fixed table of 30.
//
// Threads: the main thread (commands, start-up, device changes, the slot-table moves of a
// removal), one worker per running slot, the dead-thread watcher and the panel library's callback
// thread (page and soft-button handlers, which reach a slot only through ActOnSlotOf in
// devices/slot_table.h, so a removal's moves never pass under them). Every field that more than
// one of them touches is an atomic of the field's own width; `folderPath` is guarded by its own
// lock, and `ownedThread` is the main thread's alone.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "panel_library/direct_output_abi.h"

namespace panelcast {

inline constexpr int kMaxDevices = 30;
inline constexpr int kPathCapacity = 260;

// The tool a slot runs; 0 in a slot means idle.
enum FeedMode : uint16_t {
  kModeIdle = 0,
  kModeCustomize = 1,
  kModeGpsGauge = 2,
  kModeFsxLiveView = 3,
  kModeStaticImages = 4,
  kModeLiveMonitor = 5,
};

struct CaptureRect {
  std::atomic<int32_t> left{0};    // written: main thread; read: live feeders
  std::atomic<int32_t> top{0};
  std::atomic<int32_t> right{0};   // exclusive
  std::atomic<int32_t> bottom{0};  // exclusive
};

// The static image folder. Written by the main thread (folder selection, defaults), read by the
// static image feeder and its handlers; copies in and out are short and take the lock.
class FolderPath {
 public:
  void Set(const wchar_t* path);               // any thread; truncates to kPathCapacity - 1
  void Get(wchar_t (&out)[kPathCapacity]) const;  // any thread; always terminated
 private:
  mutable SRWLOCK lock_ = SRWLOCK_INIT;
  wchar_t path_[kPathCapacity] = {};
};

struct DeviceSlot {
  FolderPath folderPath;
  // Set by START (main), cleared by the worker as its last act, by STOP/StopAllWorkers after a
  // successful wait and by a removal; read by the watcher and the main thread.
  std::atomic<HANDLE> workerThread{nullptr};
  CaptureRect captureRect;
  std::atomic<int32_t> runFlag{0};        // main thread, watcher, a fault's last chance write; worker reads
  std::atomic<int32_t> showHints{1};      // main thread and soft-button handlers write; feeders read
  std::atomic<int32_t> imageFormat{0};    // main thread and static handler write; feeder reads
  std::atomic<int32_t> buttonLights{1};   // soft-button handlers write; feeders and handlers read
  std::atomic<uint16_t> runningMode{0};   // main thread and watcher write; never the worker
  std::atomic<uint16_t> imageNumber{1};   // static feeder and its handlers
  std::atomic<uint16_t> screenFlag{1};    // main thread writes; live feeders read
  std::atomic<int32_t> refreshDelay{2};   // main thread and live soft-button handler write
  std::atomic<directoutput::DeviceHandle> device{nullptr};  // main thread writes; all read

  // The worker's thread handle as the main thread owns it: it outlives `workerThread` (which the
  // worker clears itself) so that the handle can be closed once the thread has ended.
  HANDLE ownedThread = nullptr;  // main thread only
};

// Resets every field but `device` to its default. `screenWidth`/`screenHeight` give the default
// capture rectangle, `folder` the default image folder. Main thread.
void ResetSlotSettings(DeviceSlot& slot, int screenWidth, int screenHeight, const wchar_t* folder);

// Copies every field of `from` into `to` (a removal moves slots down). Main thread, with no
// worker running on either slot and `to` holding no thread handle (it would be lost).
void MoveSlot(DeviceSlot& to, DeviceSlot& from);

// The slot table: allocated once at start-up, freed at exit.
struct SlotTable {
  DeviceSlot slots[kMaxDevices];
};

// The first slot, in index order, whose device is `device`; -1 when none is. Any thread.
int FindSlotByDevice(const SlotTable& table, directoutput::DeviceHandle device);

}  // namespace panelcast
