#include "feeds/live_buttons.h"

#include <gtest/gtest.h>

#include <thread>

namespace panelcast {
namespace {

TEST(LiveButtons, SixButtonsChooseDelaysZeroToFive) {
  const uint32_t values[6] = {0x20, 0x40, 0x80, 0x100, 0x200, 0x400};
  for (int i = 0; i < 6; ++i) {
    const LiveButtonPress press = DecodeLiveButtons(values[i]);
    EXPECT_EQ(press.action, LiveAction::kSetDelay) << std::hex << values[i];
    EXPECT_EQ(press.button, i + 1);
  }
}

TEST(LiveButtons, TwoChordsFlipHintsAndLights) {
  EXPECT_EQ(DecodeLiveButtons(0x60).action, LiveAction::kFlipHints);
  EXPECT_EQ(DecodeLiveButtons(0x180).action, LiveAction::kFlipLights);
}

TEST(LiveButtons, EncoderBitsStepUpAndDown) {
  EXPECT_EQ(DecodeLiveButtons(0x08).action, LiveAction::kStepUp);
  EXPECT_EQ(DecodeLiveButtons(0x02).action, LiveAction::kStepUp);
  EXPECT_EQ(DecodeLiveButtons(0x10).action, LiveAction::kStepDown);
  EXPECT_EQ(DecodeLiveButtons(0x04).action, LiveAction::kStepDown);
}

TEST(LiveButtons, AnythingElseIsNothing) {
  // Other chords, a button with an encoder bit, two encoder bits, release (0), stray bits.
  for (uint32_t value : {0xA0u, 0x28u, 0x0Au, 0x14u, 0x0u, 0x1u, 0x600u, 0x7E0u, 0x800u}) {
    EXPECT_EQ(DecodeLiveButtons(value).action, LiveAction::kNone) << std::hex << value;
  }
}

TEST(RefreshDelaySteps, WrapOnlyAtTheEndsOfTheButtonRange) {
  EXPECT_EQ(StepDelayUp(0), 1);
  EXPECT_EQ(StepDelayUp(4), 5);
  EXPECT_EQ(StepDelayUp(5), 0);
  EXPECT_EQ(StepDelayDown(5), 4);
  EXPECT_EQ(StepDelayDown(1), 0);
  EXPECT_EQ(StepDelayDown(0), 5);
}

TEST(RefreshDelaySteps, DelaysAboveFiveFromTheMainWindowStepWithoutWrapping) {
  EXPECT_EQ(StepDelayUp(6), 7);
  EXPECT_EQ(StepDelayUp(50), 51);
  EXPECT_EQ(StepDelayDown(50), 49);
  EXPECT_EQ(StepDelayDown(6), 5);
}

TEST(Switches, FlipTurnsOneIntoZeroAndAnythingElseIntoOne) {
  EXPECT_EQ(FlipSwitch(1), 0);
  EXPECT_EQ(FlipSwitch(0), 1);
  EXPECT_EQ(FlipSwitch(7), 1);
}

// Two threads flipping one switch at once, as two handlers of one panel can: every flip counts.
TEST(Switches, FlipsFromTwoThreadsAtOnceAreNeverLost) {
  constexpr int kFlipsEach = 1000000;
  std::atomic<int32_t> lights{1};
  std::atomic<int> darkAnswers{0};
  std::atomic<int> ready{0};
  const auto flipper = [&] {
    ++ready;
    while (ready.load() < 2) {
    }
    for (int i = 0; i < kFlipsEach; ++i) {
      if (FlipSwitchOf(lights) == 0) ++darkAnswers;
    }
  };
  std::thread first(flipper), second(flipper);
  first.join();
  second.join();
  EXPECT_EQ(lights.load(), 1) << "an even number of flips ends where it began";
  EXPECT_EQ(darkAnswers.load(), kFlipsEach) << "every other flip answers dark";
}

}  // namespace
}  // namespace panelcast
