// The GPS gauge's soft buttons and encoders, turned into the simulator's GPS events, and the
// button page that the panel's page switches choose.
#pragma once

#include <windows.h>

#include <cstdint>

#include "panel_library/direct_output_abi.h"

namespace panelcast {

// The GPS button page of the whole process: 0 for page 1, 1 for page 2; 0 at program start and
// never reset by a gauge's start. Only OnGpsPageChange sets it; every GPS gauge worker reads it
// once a cycle. Any thread.
int32_t CurrentGpsPage();

// Soft-button handler of the GPS gauge: buttons 1+2 flip the labels and 3+4 the lights (with or
// without the simulator); while the simulator runs, every other value opens one connection,
// sends its button's event (then blinks the button's light) or its knob events, and closes it.
void __stdcall OnGpsSoftButton(directoutput::DeviceHandle device, DWORD buttons, void* context);

// Page handler of the GPS gauge: while the simulator runs, page 1 or 2 (shown or left) becomes
// the button page and its six lights are set as the slot's light switch says.
void __stdcall OnGpsPageChange(directoutput::DeviceHandle device, DWORD page, bool activated,
                               void* context);

}  // namespace panelcast
