// The panel library's C interface: every entry point is __stdcall, exported by its undecorated
// name and answers a 32-bit HRESULT; callbacks are __stdcall too. The product resolves these by
// name at run time; the stand-in in emulator/ exports exactly these.
#pragma once

#include <windows.h>

namespace directoutput {

using DeviceHandle = void*;

// FIP device type {3E083CD8-6A37-4A58-80A8-3D6A2C07513E}.
inline constexpr GUID kFipDeviceType = {
    0x3E083CD8, 0x6A37, 0x4A58, {0x80, 0xA8, 0x3D, 0x6A, 0x2C, 0x07, 0x51, 0x3E}};

// Results the library answers besides S_OK.
inline constexpr HRESULT kHandleInvalid = static_cast<HRESULT>(0x80070006);   // E_HANDLE
inline constexpr HRESULT kInvalidArg = static_cast<HRESULT>(0x80070057);      // E_INVALIDARG
inline constexpr HRESULT kNotImplemented = static_cast<HRESULT>(0x80004001);  // E_NOTIMPL
inline constexpr HRESULT kPageNotActive = static_cast<HRESULT>(0xFF040001);
inline constexpr HRESULT kBufferTooSmall = static_cast<HRESULT>(0xFF04006F);

// Soft-button flag of AddPage: make the new page the active one.
inline constexpr DWORD kPageFlagSetAsActive = 1;

using EnumerateCallback = void(__stdcall*)(DeviceHandle device, void* context);
using DeviceChangeCallback = void(__stdcall*)(DeviceHandle device, bool added, void* context);
using PageChangeCallback = void(__stdcall*)(DeviceHandle device, DWORD page, bool activated,
                                            void* context);
using SoftButtonCallback = void(__stdcall*)(DeviceHandle device, DWORD buttons, void* context);

// Entry point signatures, in the order the library's names are resolved.
using InitializeFn = HRESULT(__stdcall*)(const wchar_t* appName);
using DeinitializeFn = HRESULT(__stdcall*)();
using RegisterDeviceCallbackFn = HRESULT(__stdcall*)(DeviceChangeCallback callback, void* context);
using EnumerateFn = HRESULT(__stdcall*)(EnumerateCallback callback, void* context);
using RegisterPageCallbackFn = HRESULT(__stdcall*)(DeviceHandle device, PageChangeCallback callback,
                                                   void* context);
using RegisterSoftButtonCallbackFn = HRESULT(__stdcall*)(DeviceHandle device,
                                                         SoftButtonCallback callback, void* context);
using GetDeviceTypeFn = HRESULT(__stdcall*)(DeviceHandle device, GUID* type);
using GetDeviceInstanceFn = HRESULT(__stdcall*)(DeviceHandle device, GUID* instance);
using SetProfileFn = HRESULT(__stdcall*)(DeviceHandle device, DWORD length, const wchar_t* file);
using AddPageFn = HRESULT(__stdcall*)(DeviceHandle device, DWORD page, DWORD flags);
using RemovePageFn = HRESULT(__stdcall*)(DeviceHandle device, DWORD page);
using SetLedFn = HRESULT(__stdcall*)(DeviceHandle device, DWORD page, DWORD index, DWORD value);
using SetStringFn = HRESULT(__stdcall*)(DeviceHandle device, DWORD page, DWORD index, DWORD length,
                                        const wchar_t* text);
using SetImageFn = HRESULT(__stdcall*)(DeviceHandle device, DWORD page, DWORD index, DWORD length,
                                       const void* data);
using SetImageFromFileFn = HRESULT(__stdcall*)(DeviceHandle device, DWORD page, DWORD index,
                                               DWORD length, const wchar_t* file);
using StartServerFn = HRESULT(__stdcall*)(DeviceHandle device, DWORD length, const wchar_t* file,
                                          DWORD* serverId, void* status);
using CloseServerFn = HRESULT(__stdcall*)(DeviceHandle device, DWORD serverId, void* status);
using SendServerMsgFn = HRESULT(__stdcall*)(DeviceHandle device, DWORD serverId, DWORD request,
                                            DWORD page, DWORD inLength, const void* in,
                                            DWORD outLength, void* out, void* status);
using SendServerFileFn = HRESULT(__stdcall*)(DeviceHandle device, DWORD serverId, DWORD request,
                                             DWORD page, DWORD headerLength, const void* header,
                                             DWORD fileLength, const wchar_t* file, DWORD outLength,
                                             void* out, void* status);
using SaveFileFn = HRESULT(__stdcall*)(DeviceHandle device, DWORD page, DWORD file, DWORD length,
                                       const wchar_t* name, void* status);
using DisplayFileFn = HRESULT(__stdcall*)(DeviceHandle device, DWORD page, DWORD index, DWORD file,
                                          void* status);
using DeleteFileFn = HRESULT(__stdcall*)(DeviceHandle device, DWORD page, DWORD file, void* status);

}  // namespace directoutput
