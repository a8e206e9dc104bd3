// One image file made into one panel frame and sent: the whole picture stretched to 320x240
// (aspect ratio not kept), the labels of a hint bitmap laid over it while the slot shows hints.
#pragma once

#include <cstdint>

#include "panel_library/direct_output_abi.h"

namespace panelcast {

// Decodes `path`, scales it with HALFTONE into a bottom-up 24-bit frame and sends it to page 1 of
// `device`. Labels of hint bitmap `hintId` go over it while the panel's slot has showHints 1. A
// device with no slot, a file that cannot be decoded (missing, empty, damaged, unknown format),
// an empty path or a frame that cannot be drawn sends nothing: the panel keeps its picture. Any
// thread; every object it makes is its own and released on every path.
void RenderImageFile(directoutput::DeviceHandle device, const wchar_t* path, uint16_t hintId);

}  // namespace panelcast
