// The static image show (FeedMode 4): up to six still pictures from the slot's folder, FIP1 to
// FIP6 as JPEG or BMP files, chosen with the soft buttons and stepped through with the encoders.
// The worker only sets the panel up and shows image 1; every later picture is rendered on the
// panel library's callback thread, when it is chosen.
#pragma once

#include <windows.h>

#include "panel_library/direct_output_abi.h"

namespace panelcast {

// Worker routine of FeedMode 4; the argument is the slot index. Exit code 0 after a stop, 1 when
// the panel refused a handler or the page.
DWORD WINAPI StaticImageFeeder(void* slotIndexAsPointer);

// Soft-button handler: buttons 1 to 6 show their image, the encoders step through the six from
// their own position, 1+2 flip the labels, 3+4 the lights, 5+6 the file format.
void __stdcall OnStaticSoftButton(directoutput::DeviceHandle device, DWORD buttons, void* context);

// Page handler: a notification for page 1 sets the lights as the slot says and shows image 1.
void __stdcall OnStaticPageChange(directoutput::DeviceHandle device, DWORD page, bool activated,
                                  void* context);

}  // namespace panelcast
