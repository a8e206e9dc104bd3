// Checks of a FipFrame (320x240, bottom-up BGR) that every feeder's tests make: a pixel's colour,
// and that a frame carries the button labels of a hint bitmap exactly where they belong.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/driver/call_sequence.h"

namespace feeds_test {

// Pixel (x, y from the top) of a bottom-up BGR frame, as 0x00RRGGBB.
uint32_t FramePixel(const std::vector<uint8_t>& frame, int x, int y);

// Success when every byte of the hint bitmap other than its transparent (1, 1, 1) is in `frame`
// as it is, and the labels are six boxes of 42 by 15 pixels in columns 1 to 42.
::testing::AssertionResult CarriesTheLabels(const std::vector<uint8_t>& frame,
                                            const uint8_t* hints);

}  // namespace feeds_test
