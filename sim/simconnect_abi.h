// The four calls of the simulator's client library that the GPS buttons use: __stdcall, exported
// by their plain names, each answering an HRESULT (negative: failure). The product resolves them
// at run time; the stand-in in emulator/simconnect/ exports exactly these.
#pragma once

#include <windows.h>

namespace simconnect {

using OpenFn = HRESULT(__stdcall*)(HANDLE* connection, const char* clientName, HWND window,
                                   DWORD userMessage, HANDLE eventHandle, DWORD configIndex);
using MapClientEventToSimEventFn = HRESULT(__stdcall*)(HANDLE connection, DWORD clientEventId,
                                                       const char* eventName);
using TransmitClientEventFn = HRESULT(__stdcall*)(HANDLE connection, DWORD objectId,
                                                  DWORD clientEventId, DWORD data, DWORD groupId,
                                                  DWORD flags);
using CloseFn = HRESULT(__stdcall*)(HANDLE connection);

// The user's aircraft, the object every GPS event goes to.
inline constexpr DWORD kUserObject = 0;
// With this flag the group argument of a transmit is a priority; 1 is the highest.
inline constexpr DWORD kGroupIdIsPriority = 0x10;
inline constexpr DWORD kHighestPriority = 1;

// The side-by-side assembly that carries the library, and the manifest resource of the program
// that names it.
inline constexpr wchar_t kLibraryFile[] = L"SimConnect.dll";
inline constexpr int kAssemblyManifestId = 2;

}  // namespace simconnect
