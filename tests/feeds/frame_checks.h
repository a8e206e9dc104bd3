// Checks of a FipFrame (320x240, bottom-up BGR) that every feeder's tests make: where the button
// labels of a hint bitmap are, and that a frame carries them exactly.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/driver/call_sequence.h"

namespace feeds_test {

// Pixel (x, y from the top) of a bottom-up BGR frame, as 0x00RRGGBB.
uint32_t FramePixel(const std::vector<uint8_t>& frame, int x, int y);

// True where the hint bitmap's pixel (x, y from the top) is not the transparent (1, 1, 1).
bool IsLabelPixel(const uint8_t* hints, int x, int y);

// Success when every byte of the hint bitmap other than 1 is in `frame` as it is, and the labels
// are six boxes of 42 by 15 pixels in columns 1 to 42.
::testing::AssertionResult CarriesTheLabels(const std::vector<uint8_t>& frame,
                                            const uint8_t* hints);

// The calls of one live monitor run from START to STOP as feeds_test::DescribeCall gives them:
// handlers, page, splash, the sweep, the frames, the blank and the removal of the page.
std::vector<driver::ExpectedCall> LiveMonitorRunCalls();

}  // namespace feeds_test
