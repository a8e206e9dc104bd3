#include "emulator/setupapi/device_nodes.h"

#include <map>
#include <memory>
#include <mutex>

namespace emu {
namespace {

struct Registry {
  std::mutex mutex;
  std::map<SetHandle, std::unique_ptr<DeviceSetData>> sets;  // guarded by mutex
  std::map<std::wstring, DWORD> nodeById;                   // guarded by mutex
  std::map<DWORD, std::wstring> idByNode;                   // guarded by mutex
  std::map<DWORD, std::optional<DWORD>> parentByNode;       // guarded by mutex
  DWORD lastNode = 0x100;                                   // guarded by mutex
};

Registry& State() {
  static Registry* registry = new Registry();  // lives until the process ends
  return *registry;
}

// Call with the lock held.
DWORD NodeFor(Registry& state, const std::wstring& id) {
  auto found = state.nodeById.find(id);
  if (found != state.nodeById.end()) return found->second;
  const DWORD node = ++state.lastNode;
  state.nodeById[id] = node;
  state.idByNode[node] = id;
  return node;
}

}  // namespace

SetHandle CreateDeviceSet(bool interfaces, const std::vector<UsbDevice>& devices) {
  Registry& state = State();
  auto data = std::make_unique<DeviceSetData>();
  data->interfaces = interfaces;
  std::lock_guard<std::mutex> lock(state.mutex);
  for (const UsbDevice& device : devices) {
    SetMember member{device, NodeFor(state, device.instanceId)};
    // What a device's parent is follows the latest snapshot, as a re-plugged device's would.
    state.parentByNode[member.node] =
        device.parentId ? std::optional<DWORD>(NodeFor(state, *device.parentId)) : std::nullopt;
    data->members.push_back(member);
  }
  SetHandle handle = data.get();
  state.sets[handle] = std::move(data);
  return handle;
}

bool DestroyDeviceSet(SetHandle set) {
  Registry& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.sets.erase(set) == 1;
}

std::optional<DeviceSetData> FindDeviceSet(SetHandle set) {
  Registry& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto found = state.sets.find(set);
  if (found == state.sets.end()) return std::nullopt;
  return *found->second;
}

std::optional<std::wstring> NodeInstanceId(DWORD node) {
  Registry& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto found = state.idByNode.find(node);
  if (found == state.idByNode.end()) return std::nullopt;
  return found->second;
}

std::optional<DWORD> NodeParent(DWORD node) {
  Registry& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto found = state.parentByNode.find(node);
  if (found == state.parentByNode.end()) return std::nullopt;
  return found->second;  // itself nothing when the parent cannot be read
}

}  // namespace emu
