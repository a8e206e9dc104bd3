// How the client-library stand-in (emulator/simconnect) reaches the simulator stand-in (FSX.EXE):
// each library call is one WM_COPYDATA sent to the simulator's window, carrying the call as one
// line of 8-bit text, and answered with the call's HRESULT (Open: the new connection's number).
//
//   Open name="SEND GPS EVENT" window=0x0 message=0 event=0x0 config=0
//   MapClientEventToSimEvent connection=1 id=0 name="GPS_ZOOMIN_BUTTON"
//   TransmitClientEvent connection=1 object=0 id=0 data=0 group=1 flags=0x10
//   Close connection=1
#pragma once

#include <windows.h>

namespace simstandin {

inline constexpr wchar_t kWindowClass[] = L"PanelcastSimulatorStandIn";
inline constexpr wchar_t kWindowTitle[] = L"Simulator stand-in";
inline constexpr ULONG_PTR kCallData = 0x53494D43;  // dwData of a call
inline constexpr DWORD kCallTimeoutMs = 5000;       // a simulator that hangs fails the call

// Log files, named by the environment: the simulator's (every call it received and every event
// it applied) and the library's (every call the program made, also without a simulator).
inline constexpr wchar_t kSimulatorLogVariable[] = L"PANELCAST_SIM_LOG";
inline constexpr wchar_t kLibraryLogVariable[] = L"PANELCAST_SIMCONNECT_LOG";

}  // namespace simstandin
