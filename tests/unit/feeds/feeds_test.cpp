// The shared feed engine's pure logic: the byte-wise hint overlay, frames from each capture depth,
// the captured rectangle of each rule, how a feeder is served when others read the screen too, and
// the panel's switches flipped from two threads.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "feeds/frame_format.h"
#include "feeds/live_buttons.h"
#include "feeds/screen_share_rules.h"
#include "feeds/source_rect.h"

namespace panelcast {
namespace {

using Bytes = std::vector<uint8_t>;

// Every hint byte other than 1 replaces the frame's, so a pixel partly 1 keeps the frame there.
TEST(HintOverlay, EveryByteOtherThanOneReplacesTheFrame) {
  Bytes frame(kFrameBytes, 200), hints(kFrameBytes, kHintTransparentByte);
  const Bytes head = {77, 1, 0, 1, 1, 1};  // the first two pixels; the last byte is 9
  std::copy(head.begin(), head.end(), hints.begin());
  hints.back() = 9;
  OverlayHints(frame.data(), hints.data(), kFrameBytes);
  EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 7), (Bytes{77, 200, 0, 200, 200, 200, 200}));
  EXPECT_EQ(Bytes(frame.end() - 2, frame.end()), (Bytes{200, 9}));
}

// The same picture read at 24 and at 32 bits a pixel gives the same frame: the 24-bit buffer is
// sent as it is, the 32-bit one through the frame buffer; other depths give none.
TEST(FrameConversion, EachCaptureDepthGivesTheSameFrameOrNone) {
  Bytes pixels24(kFrameBytes), pixels32(kFramePixels * 4, 0xFF), buffer(kFrameBytes, 0);
  for (std::size_t p = 0; p < kFramePixels; ++p) {
    const uint8_t bgr[3] = {uint8_t(p), uint8_t(p >> 8), uint8_t(p * 7)};
    for (int c = 0; c < 3; ++c) pixels24[p * 3 + c] = pixels32[p * 4 + c] = bgr[c];
  }
  EXPECT_EQ(FrameFromCapture(3, pixels24.data(), buffer.data()), pixels24.data());
  EXPECT_EQ(buffer, Bytes(kFrameBytes, 0)) << "left alone on a 24-bit desktop";
  ASSERT_EQ(FrameFromCapture(4, pixels32.data(), buffer.data()), buffer.data());
  EXPECT_EQ(buffer, pixels24);
  EXPECT_EQ(FrameFromCapture(2, pixels32.data(), buffer.data()), nullptr) << "a 16-bit desktop";
}

// The live monitor captures the typed rectangle where it is; the simulator's live view with
// screen flag 2 shifts it right by the primary screen's width.
TEST(SourceRect, TheCapturedRectangleOfEachRule) {
  const struct {
    int32_t left, top, right, bottom, screenFlag, primaryWidth;
    SourceRect live, liveView;
  } rows[] = {
      {-640, 0, 0, 480, 1, 1920, {-640, 0, 640, 480}, {-640, 0, 640, 480}},
      {-320, -20, 320, 460, 1, 1920, {-320, -20, 640, 480}, {-320, -20, 640, 480}},
      {-320, 0, 320, 240, 2, 1024, {-320, 0, 640, 240}, {704, 0, 640, 240}},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(LiveSourceRect(r.left, r.top, r.right, r.bottom), r.live) << r.left;
    EXPECT_EQ(FsxLiveViewSourceRect(r.left, r.top, r.right, r.bottom, r.screenFlag, r.primaryWidth),
              r.liveView)
        << r.left << " flag " << r.screenFlag;
  }
}

// Two handlers of one panel can flip one switch at once: every flip counts.
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

// A source of 320x240 among feeders covering 640x480; a whole read takes 19200 us, one of the
// source alone 4800 us.
TEST(ScreenShare, EachFeederIsServedTheCheapestWayThatShowsWhatItsOwnReadWould) {
  using enum ShareChoice;
  static constexpr SourceRect source{0, 0, 320, 240}, elsewhere{400, 300, 200, 100};
  const struct {
    const char* what;
    void (*change)(ShareView& view);
    ShareChoice choice;
  } rows[] = {
      {"nothing read yet", [](ShareView&) {}, kReadForAll},
      {"alone", [](ShareView& v) { v.sharers = 1; }, kReadAlone},
      {"sources far apart", [](ShareView& v) { v.sourcesArea = 640 * 480 - 1; }, kReadAlone},
      {"off the desktop", [](ShareView& v) { v.covering.x = 1; }, kReadAlone},
      {"a fresh copy", [](ShareView& v) { v.copyNumber = 8; }, kTakeCopy},
      {"the copy taken before", [](ShareView& v) { v.copyNumber = 7; }, kReadForAll},
      {"a stale copy", [](ShareView& v) { v.copyNumber = 8, v.copyAgeUs = kCopyFreshUs + 1; },
       kReadForAll},
      {"a copy without it",
       [](ShareView& v) {
         v.copyNumber = 8, v.copyRect = {0, 0, 320, 239};
       },
       kReadForAll},
      {"a read nearly done", [](ShareView& v) { v.reading = true, v.readElapsedUs = 14400; },
       kAwaitRead},
      {"a read just begun", [](ShareView& v) { v.reading = true, v.readElapsedUs = 14399; },
       kReadAlone},
      {"a read without it", [](ShareView& v) { v.reading = true, v.readRect = elsewhere; },
       kReadAlone},
      // Its own reads took 12000 us when its stretches took 2000 us.
      {"a read half done, its own reads slow",
       [](ShareView& v) {
         v.reading = true, v.readElapsedUs = 9600, v.lastOwnReadUs = 12000;
         v.lastStretchUs = v.stretchAtOwnReadUs = 2000;
       },
       kAwaitRead},
      {"as slow, the load gone since",
       [](ShareView& v) {
         v.reading = true, v.readElapsedUs = 9600, v.lastOwnReadUs = 12000;
         v.stretchAtOwnReadUs = 2000, v.lastStretchUs = 500;
       },
       kReadAlone},
      {"had the copy, the round unfinished",
       [](ShareView& v) { v.copyNumber = 7, v.roundPending = 1; }, kAwaitRound},
      {"as long as its own read waited",
       [](ShareView& v) { v.copyNumber = 7, v.roundPending = 1, v.waitedUs = 4800; }, kReadForAll},
      {"a fresh copy, the round unfinished",
       [](ShareView& v) { v.copyNumber = 8, v.roundPending = 1; }, kTakeCopy},
  };
  for (const auto& row : rows) {
    ShareView view{.sharers = 2,
                   .covering = {0, 0, 640, 480},
                   .sourcesArea = 640 * 480,
                   .copyRect = {0, 0, 640, 480},
                   .copyAgeUs = kCopyFreshUs,
                   .readRect = {0, 0, 640, 480},
                   .usPerPixel = 0.0625};
    row.change(view);
    EXPECT_EQ(ChooseShare(source, 7, view), row.choice) << row.what;
  }
}

}  // namespace
}  // namespace panelcast
