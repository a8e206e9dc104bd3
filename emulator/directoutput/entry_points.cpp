// The library's exported entry points. Each one logs itself, takes an injected fault or the
// "not initialised" answer first, and otherwise works on the shared Library state.
#include <windows.h>

#include "emulator/directoutput/call_record.h"
#include "emulator/directoutput/library.h"
#include "emulator/directoutput/result_codes.h"
#include "panel_library/direct_output_abi.h"

using directoutput::DeviceHandle;
using emu::CallRecorder;
using emu::Library;

static_assert(emu::codes::kHandle == directoutput::kHandleInvalid);
static_assert(emu::codes::kInvalidArg == directoutput::kInvalidArg);
static_assert(emu::codes::kNotImplemented == directoutput::kNotImplemented);
static_assert(emu::codes::kPageNotActive == directoutput::kPageNotActive);
static_assert(emu::codes::kBufferTooSmall == directoutput::kBufferTooSmall);

#define EXPORT extern "C" __declspec(dllexport)

namespace {

// A panel of "another type" answers this instead of the FIP type.
constexpr GUID kOtherDeviceType = {
    0x6B2E91C4, 0x1F3A, 0x4C7D, {0x9E, 0x51, 0x27, 0xA8, 0x3B, 0x6D, 0x40, 0xC2}};

uintptr_t Handle(DeviceHandle device) { return reinterpret_cast<uintptr_t>(device); }

// Runs `work` on the board under the lock.
template <typename Work>
HRESULT OnBoard(Work work) {
  Library& library = Library::Get();
  std::lock_guard<std::mutex> lock(library.mutex);
  return work(library.board);
}

// Registers a page or soft-button handler of one panel.
HRESULT RegisterPanelHandler(CallRecorder& call, DeviceHandle device, void* callback,
                             void* context, emu::Handler emu::BoardPanel::*slot) {
  call.Pointer("cb", callback).Narrow("ctx", context);
  if (auto forced = call.Forced()) return call.Answer(*forced);
  return call.Answer(OnBoard([&](emu::PanelBoard& board) {
    emu::BoardPanel* panel = board.Find(Handle(device));
    if (panel == nullptr) return emu::codes::kHandle;
    panel->*slot = {reinterpret_cast<uintptr_t>(callback), reinterpret_cast<uintptr_t>(context)};
    return emu::codes::kOk;
  }));
}

// The calls that a panel of this kind does not offer: a valid handle gets E_NOTIMPL.
HRESULT NotOffered(CallRecorder& call, DeviceHandle device) {
  if (auto forced = call.Forced()) return call.Answer(*forced);
  return call.Answer(OnBoard([&](emu::PanelBoard& board) {
    return board.Find(Handle(device)) == nullptr ? emu::codes::kHandle
                                                 : emu::codes::kNotImplemented;
  }));
}

}  // namespace

EXPORT HRESULT __stdcall DirectOutput_Initialize(const wchar_t* appName) {
  CallRecorder call("Initialize");
  call.Wide("app", appName);
  if (auto forced = call.Forced(false)) return call.Answer(*forced);
  Library& library = Library::Get();
  std::lock_guard<std::mutex> lock(library.mutex);
  if (!library.initialized) {
    library.callbacks = emu::CallbackThread::Start();
    library.changeCallbacks = emu::CallbackThread::Start();
    if (!library.callbacks || !library.changeCallbacks) {
      library.callbacks.reset();
      library.changeCallbacks.reset();
      return call.Answer(E_OUTOFMEMORY);
    }
    library.initialized = true;
  }
  return call.Answer(S_OK);
}

EXPORT HRESULT __stdcall DirectOutput_Deinitialize() {
  CallRecorder call("Deinitialize");
  if (auto forced = call.Forced()) return call.Answer(*forced);
  Library& library = Library::Get();
  std::shared_ptr<emu::CallbackThread> callbacks, changeCallbacks;
  {
    std::lock_guard<std::mutex> lock(library.mutex);
    library.initialized = false;
    library.onDevice = {};
    library.board.ForgetProgram();
    callbacks.swap(library.callbacks);
    changeCallbacks.swap(library.changeCallbacks);
  }
  // Outside the lock: the callback being run may itself call into the library.
  if (callbacks) callbacks->Stop(10000);
  if (changeCallbacks) changeCallbacks->Stop(10000);
  return call.Answer(S_OK);
}

EXPORT HRESULT __stdcall DirectOutput_RegisterDeviceCallback(
    directoutput::DeviceChangeCallback callback, void* context) {
  CallRecorder call("RegisterDeviceCallback");
  call.Pointer("cb", reinterpret_cast<void*>(callback)).Narrow("ctx", context);
  if (auto forced = call.Forced()) return call.Answer(*forced);
  Library& library = Library::Get();
  std::lock_guard<std::mutex> lock(library.mutex);
  library.onDevice = {reinterpret_cast<uintptr_t>(callback), reinterpret_cast<uintptr_t>(context)};
  return call.Answer(S_OK);
}

EXPORT HRESULT __stdcall DirectOutput_Enumerate(directoutput::EnumerateCallback callback,
                                                void* context) {
  CallRecorder call("Enumerate");
  call.Pointer("cb", reinterpret_cast<void*>(callback)).Narrow("ctx", context);
  if (auto forced = call.Forced()) return call.Answer(*forced);
  if (callback == nullptr) return call.Answer(emu::codes::kInvalidArg);
  std::vector<uintptr_t> handles;
  {
    Library& library = Library::Get();
    std::lock_guard<std::mutex> lock(library.mutex);
    for (const emu::BoardPanel& panel : library.board.Panels()) handles.push_back(panel.handle);
  }
  // On the caller's thread and without the lock: the program calls back into us from here.
  for (uintptr_t handle : handles) callback(reinterpret_cast<DeviceHandle>(handle), context);
  return call.Answer(S_OK);
}

EXPORT HRESULT __stdcall DirectOutput_RegisterPageCallback(
    DeviceHandle device, directoutput::PageChangeCallback callback, void* context) {
  CallRecorder call("RegisterPageCallback", device);
  return RegisterPanelHandler(call, device, reinterpret_cast<void*>(callback), context,
                              &emu::BoardPanel::onPage);
}

EXPORT HRESULT __stdcall DirectOutput_RegisterSoftButtonCallback(
    DeviceHandle device, directoutput::SoftButtonCallback callback, void* context) {
  CallRecorder call("RegisterSoftButtonCallback", device);
  return RegisterPanelHandler(call, device, reinterpret_cast<void*>(callback), context,
                              &emu::BoardPanel::onButtons);
}

EXPORT HRESULT __stdcall DirectOutput_GetDeviceType(DeviceHandle device, GUID* type) {
  CallRecorder call("GetDeviceType", device);
  if (auto forced = call.Forced()) return call.Answer(*forced);
  Library& library = Library::Get();
  std::lock_guard<std::mutex> lock(library.mutex);
  const emu::BoardPanel* panel = library.board.Find(Handle(device));
  if (panel == nullptr) return call.Answer(emu::codes::kHandle);
  if (type == nullptr) return call.Answer(emu::codes::kInvalidArg);
  if (library.typeFails.count(panel->serial) != 0) return call.Answer(emu::codes::kFail);
  *type = panel->type == "fip" ? directoutput::kFipDeviceType : kOtherDeviceType;
  return call.Answer(S_OK);
}

EXPORT HRESULT __stdcall DirectOutput_GetDeviceInstance(DeviceHandle device, GUID* instance) {
  CallRecorder call("GetDeviceInstance", device);
  if (auto forced = call.Forced()) return call.Answer(*forced);
  Library& library = Library::Get();
  std::lock_guard<std::mutex> lock(library.mutex);
  const emu::BoardPanel* panel = library.board.Find(Handle(device));
  if (panel == nullptr) return call.Answer(emu::codes::kHandle);
  if (instance == nullptr) return call.Answer(emu::codes::kInvalidArg);
  // A stable instance per serial: FNV-1a of the serial spread over the GUID.
  uint32_t hash = 2166136261u;
  for (char c : panel->serial) hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
  *instance = {hash, 0xE4A1, 0x4F00, {0x80, 0x00, 0x45, 0x4D, 0x55, 0x00,
                                       static_cast<BYTE>(hash >> 8), static_cast<BYTE>(hash)}};
  return call.Answer(S_OK);
}

EXPORT HRESULT __stdcall DirectOutput_SetProfile(DeviceHandle device, DWORD length,
                                                 const wchar_t* file) {
  CallRecorder call("SetProfile", device);
  call.Number("len", length).Wide("file", file);
  if (auto forced = call.Forced()) return call.Answer(*forced);
  return call.Answer(OnBoard([&](emu::PanelBoard& board) {
    return board.Find(Handle(device)) == nullptr ? emu::codes::kHandle : emu::codes::kOk;
  }));
}

EXPORT HRESULT __stdcall DirectOutput_AddPage(DeviceHandle device, DWORD page, DWORD flags) {
  CallRecorder call("AddPage", device);
  call.Number("page", page).Number("flags", flags);
  if (auto forced = call.Forced()) return call.Answer(*forced);
  return call.Answer(OnBoard([&](emu::PanelBoard& b) { return b.AddPage(Handle(device), page, flags); }));
}

EXPORT HRESULT __stdcall DirectOutput_RemovePage(DeviceHandle device, DWORD page) {
  CallRecorder call("RemovePage", device);
  call.Number("page", page);
  if (auto forced = call.Forced()) return call.Answer(*forced);
  return call.Answer(OnBoard([&](emu::PanelBoard& b) { return b.RemovePage(Handle(device), page); }));
}

EXPORT HRESULT __stdcall DirectOutput_SetLed(DeviceHandle device, DWORD page, DWORD index,
                                             DWORD value) {
  CallRecorder call("SetLed", device);
  call.Number("page", page).Number("index", index).Number("value", value);
  if (uint32_t delay = Library::Get().setLedDelayMs.load()) Sleep(delay);  // no lock held
  if (auto forced = call.Forced()) return call.Answer(*forced);
  return call.Answer(
      OnBoard([&](emu::PanelBoard& b) { return b.SetLed(Handle(device), page, index, value); }));
}

EXPORT HRESULT __stdcall DirectOutput_SetString(DeviceHandle device, DWORD page, DWORD index,
                                                DWORD length, const wchar_t* text) {
  CallRecorder call("SetString", device);
  call.Number("page", page).Number("index", index).Number("len", length).Wide("text", text);
  if (auto forced = call.Forced()) return call.Answer(*forced);
  // The panel has no text lines; the call is accepted for a page that exists.
  return call.Answer(OnBoard([&](emu::PanelBoard& b) { return b.CheckPage(Handle(device), page); }));
}

EXPORT HRESULT __stdcall DirectOutput_SetImage(DeviceHandle device, DWORD page, DWORD index,
                                               DWORD length, const void* data) {
  CallRecorder call("SetImage", device);
  call.Number("page", page).Number("index", index).Number("len", length);
  // The delay is taken on the calling thread with no lock held, so the control channel and
  // the other panels' calls go on meanwhile; the panel counts the sends inside it.
  if (uint32_t delay = Library::Get().setImageDelayMs.load()) {
    const auto underWay = [&](int step) {
      (void)OnBoard([&](emu::PanelBoard& b) {
        if (emu::BoardPanel* panel = b.Find(Handle(device))) panel->sendsUnderWay += step;
        return S_OK;
      });
    };
    underWay(1);
    Sleep(delay);
    underWay(-1);
  }
  if (auto forced = call.Forced()) return call.Answer(*forced);
  DWORD tick = GetTickCount();
  return call.Answer(OnBoard([&](emu::PanelBoard& b) {
    return b.SetImage(Handle(device), page, index, length, data, tick);
  }));
}

EXPORT HRESULT __stdcall DirectOutput_SetImageFromFile(DeviceHandle device, DWORD page,
                                                       DWORD index, DWORD length,
                                                       const wchar_t* file) {
  CallRecorder call("SetImageFromFile", device);
  call.Number("page", page).Number("index", index).Number("len", length).Wide("file", file);
  return NotOffered(call, device);
}

EXPORT HRESULT __stdcall DirectOutput_StartServer(DeviceHandle device, DWORD length,
                                                  const wchar_t* file, DWORD* serverId,
                                                  void* status) {
  CallRecorder call("StartServer", device);
  call.Number("len", length).Wide("file", file).Pointer("id", serverId).Pointer("status", status);
  return NotOffered(call, device);
}

EXPORT HRESULT __stdcall DirectOutput_CloseServer(DeviceHandle device, DWORD serverId,
                                                  void* status) {
  CallRecorder call("CloseServer", device);
  call.Number("id", serverId).Pointer("status", status);
  return NotOffered(call, device);
}

EXPORT HRESULT __stdcall DirectOutput_SendServerMsg(DeviceHandle device, DWORD serverId,
                                                    DWORD request, DWORD page, DWORD inLength,
                                                    const void* in, DWORD outLength, void* out,
                                                    void* status) {
  CallRecorder call("SendServerMsg", device);
  call.Number("id", serverId).Number("request", request).Number("page", page)
      .Number("inlen", inLength).Pointer("in", in).Number("outlen", outLength)
      .Pointer("out", out).Pointer("status", status);
  return NotOffered(call, device);
}

EXPORT HRESULT __stdcall DirectOutput_SendServerFile(DeviceHandle device, DWORD serverId,
                                                     DWORD request, DWORD page,
                                                     DWORD headerLength, const void* header,
                                                     DWORD fileLength, const wchar_t* file,
                                                     DWORD outLength, void* out, void* status) {
  CallRecorder call("SendServerFile", device);
  call.Number("id", serverId).Number("request", request).Number("page", page)
      .Number("headerlen", headerLength).Pointer("header", header).Number("filelen", fileLength)
      .Wide("file", file).Number("outlen", outLength).Pointer("out", out)
      .Pointer("status", status);
  return NotOffered(call, device);
}

EXPORT HRESULT __stdcall DirectOutput_SaveFile(DeviceHandle device, DWORD page, DWORD file,
                                               DWORD length, const wchar_t* name, void* status) {
  CallRecorder call("SaveFile", device);
  call.Number("page", page).Number("file", file).Number("len", length).Wide("name", name)
      .Pointer("status", status);
  return NotOffered(call, device);
}

EXPORT HRESULT __stdcall DirectOutput_DisplayFile(DeviceHandle device, DWORD page, DWORD index,
                                                  DWORD file, void* status) {
  CallRecorder call("DisplayFile", device);
  call.Number("page", page).Number("index", index).Number("file", file).Pointer("status", status);
  return NotOffered(call, device);
}

EXPORT HRESULT __stdcall DirectOutput_DeleteFile(DeviceHandle device, DWORD page, DWORD file,
                                                 void* status) {
  CallRecorder call("DeleteFile", device);
  call.Number("page", page).Number("file", file).Pointer("status", status);
  return NotOffered(call, device);
}
