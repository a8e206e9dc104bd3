// The simulator's client library, bound on first use through the program's second manifest
// resource, so that a computer without the library still runs every other tool. The program
// holds no static dependency on it: a missing assembly would stop the program before its window
// opened.
#pragma once

#include "sim/simconnect_abi.h"

namespace panelcast {

struct SimConnectApi {
  simconnect::OpenFn Open = nullptr;
  simconnect::MapClientEventToSimEventFn MapClientEventToSimEvent = nullptr;
  simconnect::TransmitClientEventFn TransmitClientEvent = nullptr;
  simconnect::CloseFn Close = nullptr;
};

// The library's four calls; null when the library cannot be had (not installed, or a call
// missing), which callers treat as a connection that cannot be opened. Loaded once, on the first
// call from any thread; later calls give the same answer without trying again.
const SimConnectApi* SimConnect();

}  // namespace panelcast
