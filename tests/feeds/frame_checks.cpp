#include "tests/feeds/frame_checks.h"

#include "feeds/frame_format.h"

namespace feeds_test {
namespace {

std::size_t OffsetOf(int x, int y) {
  return (static_cast<std::size_t>(panelcast::kFrameHeight - 1 - y) * panelcast::kFrameWidth + x) *
         3;
}

}  // namespace

uint32_t FramePixel(const std::vector<uint8_t>& frame, int x, int y) {
  const std::size_t at = OffsetOf(x, y);
  return (frame[at + 2] << 16) | (frame[at + 1] << 8) | frame[at];
}

bool IsLabelPixel(const uint8_t* hints, int x, int y) {
  const std::size_t at = OffsetOf(x, y);
  return hints[at] != 1 || hints[at + 1] != 1 || hints[at + 2] != 1;
}

::testing::AssertionResult CarriesTheLabels(const std::vector<uint8_t>& frame,
                                            const uint8_t* hints) {
  if (frame.size() != panelcast::kFrameBytes) {
    return ::testing::AssertionFailure() << "a frame of " << frame.size() << " bytes";
  }
  int labelPixels = 0;
  for (int y = 0; y < panelcast::kFrameHeight; ++y) {
    for (int x = 0; x < panelcast::kFrameWidth; ++x) {
      if (!IsLabelPixel(hints, x, y)) continue;
      ++labelPixels;
      if (x < 1 || x > 42) return ::testing::AssertionFailure() << "label pixel at column " << x;
      const std::size_t at = OffsetOf(x, y);
      for (int c = 0; c < 3; ++c) {
        if (hints[at + c] != 1 && frame[at + c] != hints[at + c]) {
          return ::testing::AssertionFailure() << "label pixel (" << x << "," << y << ") differs";
        }
      }
    }
  }
  if (labelPixels != 6 * 42 * 15) {
    return ::testing::AssertionFailure() << labelPixels << " label pixels, not six boxes of 42x15";
  }
  return ::testing::AssertionSuccess();
}

std::vector<driver::ExpectedCall> LiveMonitorRunCalls() {
  const std::string frame = "SetImage page=1 index=0 len=230400";
  std::vector<driver::ExpectedCall> calls = {"RegisterPageCallback ctx=\"Zivovi Panelcast\"",
                                             "RegisterSoftButtonCallback ctx=\"Zivovi Panelcast\"",
                                             "AddPage page=1 flags=1", frame /* the splash */};
  for (int light = 1; light <= 6; ++light) {
    calls.push_back("SetLed page=1 index=" + std::to_string(light) + " value=1");
  }
  calls.insert(calls.end(), {driver::OneOrMore(frame), "SetImage page=1 index=0 len=0",
                             "RemovePage page=1"});
  return calls;
}

}  // namespace feeds_test
