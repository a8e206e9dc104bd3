// The live monitor: a rectangle of the desktop mirrored on a panel, with the soft buttons choosing
// the refresh delay. Its two handlers serve the FSX live view as well.
#pragma once

#include <windows.h>

#include "feeds/frame_pipeline.h"
#include "panel_library/direct_output_abi.h"

namespace panelcast {

// Worker routine of FeedMode 5; the argument is the slot index.
DWORD WINAPI LiveMonitorFeeder(void* slotIndexAsPointer);

// Page handler: a notification for page 1 (activation or not) sets its six lights to what the
// slot's buttonLights says.
void __stdcall OnLivePageChange(directoutput::DeviceHandle device, DWORD page, bool activated,
                                void* context);

// Soft-button handler: buttons 1 to 6 set the refresh delay 0 to 5 and blink their light, the
// encoders step it, buttons 1+2 flip the labels and 3+4 the lights.
void __stdcall OnLiveSoftButton(directoutput::DeviceHandle device, DWORD buttons, void* context);

// The pipeline settings of the live monitor (the FSX live view differs only in its rectangle).
ScreenFeederConfig LiveMonitorConfig();

}  // namespace panelcast
