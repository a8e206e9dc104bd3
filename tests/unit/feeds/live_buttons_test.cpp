#include "feeds/live_buttons.h"

#include <gtest/gtest.h>

#include <thread>

namespace panelcast {
namespace {

TEST(LiveButtons, EachValueMeansOneAction) {
  using A = LiveAction;
  const struct {
    uint32_t value;
    LiveAction action;
    int button;
  } rows[] = {
      // The six buttons choose the delays 0 to 5; two chords flip hints and lights.
      {0x20, A::kSetDelay, 1}, {0x40, A::kSetDelay, 2}, {0x80, A::kSetDelay, 3},
      {0x100, A::kSetDelay, 4}, {0x200, A::kSetDelay, 5}, {0x400, A::kSetDelay, 6},
      {0x60, A::kFlipHints, 0}, {0x180, A::kFlipLights, 0},
      {0x08, A::kStepUp, 0}, {0x02, A::kStepUp, 0}, {0x10, A::kStepDown, 0},
      {0x04, A::kStepDown, 0},
      // Other chords, a button with an encoder bit, two encoder bits, release, stray bits.
      {0xA0, A::kNone, 0}, {0x28, A::kNone, 0}, {0x0A, A::kNone, 0}, {0x14, A::kNone, 0},
      {0x0, A::kNone, 0}, {0x1, A::kNone, 0}, {0x600, A::kNone, 0}, {0x7E0, A::kNone, 0},
      {0x800, A::kNone, 0},
  };
  for (const auto& row : rows) {
    const LiveButtonPress press = DecodeLiveButtons(row.value);
    EXPECT_EQ(press.action, row.action) << std::hex << row.value;
    EXPECT_EQ(press.button, row.button) << std::hex << row.value;
  }
}

// The panel's buttons give delays 0 to 5 and the encoders wrap there; the main window's longer
// delays step without wrapping.
TEST(RefreshDelaySteps, WrapOnlyAtTheEndsOfTheButtonRange) {
  const struct {
    int32_t delay, up, down;
  } rows[] = {{0, 1, 5}, {1, 2, 0}, {4, 5, 3}, {5, 0, 4}, {6, 7, 5}, {50, 51, 49}};
  for (const auto& row : rows) {
    EXPECT_EQ(StepDelayUp(row.delay), row.up) << row.delay;
    EXPECT_EQ(StepDelayDown(row.delay), row.down) << row.delay;
  }
}

TEST(Switches, FlipTurnsOneIntoZeroAndAnythingElseIntoOne) {
  const std::pair<int32_t, int32_t> rows[] = {{1, 0}, {0, 1}, {7, 1}};
  for (const auto& [from, to] : rows) EXPECT_EQ(FlipSwitch(from), to) << from;
}

// Two threads flipping one switch at once, as two handlers of one panel can: every flip counts.
TEST(Switches, FlipsFromTwoThreadsAtOnceAreNeverLost) {
  constexpr int kFlipsEach = 1000000;
  std::atomic<int32_t> lights{1};
  std::atomic<int> darkAnswers{0}, ready{0};
  const auto flipper = [&] {
    for (++ready; ready.load() < 2;) {
    }
    for (int i = 0; i < kFlipsEach; ++i) darkAnswers += FlipSwitchOf(lights) == 0;
  };
  std::thread first(flipper), second(flipper);
  first.join();
  second.join();
  EXPECT_EQ(lights.load(), 1) << "an even number of flips ends where it began";
  EXPECT_EQ(darkAnswers.load(), kFlipsEach) << "every other flip answers dark";
}

}  // namespace
}  // namespace panelcast
