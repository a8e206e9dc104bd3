// The panel library's entry points, resolved by name once at start-up. Every thread calls through
// the one table; it is filled on the main thread before any other thread of ours exists and is
// never changed afterwards.
#pragma once

#include <windows.h>

#include "panel_library/direct_output_abi.h"

namespace panelcast {

struct DirectOutputApi {
  directoutput::InitializeFn Initialize = nullptr;
  directoutput::DeinitializeFn Deinitialize = nullptr;
  directoutput::RegisterDeviceCallbackFn RegisterDeviceCallback = nullptr;
  directoutput::EnumerateFn Enumerate = nullptr;
  directoutput::RegisterPageCallbackFn RegisterPageCallback = nullptr;
  directoutput::RegisterSoftButtonCallbackFn RegisterSoftButtonCallback = nullptr;
  directoutput::GetDeviceTypeFn GetDeviceType = nullptr;
  directoutput::GetDeviceInstanceFn GetDeviceInstance = nullptr;
  directoutput::SetProfileFn SetProfile = nullptr;
  directoutput::AddPageFn AddPage = nullptr;
  directoutput::RemovePageFn RemovePage = nullptr;
  directoutput::SetLedFn SetLed = nullptr;
  directoutput::SetStringFn SetString = nullptr;
  directoutput::SetImageFn SetImage = nullptr;
  directoutput::SetImageFromFileFn SetImageFromFile = nullptr;
  directoutput::StartServerFn StartServer = nullptr;
  directoutput::CloseServerFn CloseServer = nullptr;
  directoutput::SendServerMsgFn SendServerMsg = nullptr;
  directoutput::SendServerFileFn SendServerFile = nullptr;
  directoutput::SaveFileFn SaveFile = nullptr;
  directoutput::DisplayFileFn DisplayFile = nullptr;
  directoutput::DeleteFileFn DeleteFile = nullptr;
};

// The process's table. Read-only after start-up.
const DirectOutputApi& DirectOutput();

// Context string of every handler registration of a worker (8-bit text; nothing reads it back).
inline constexpr char kHandlerContext[] = "Zivovi Panelcast";

}  // namespace panelcast
