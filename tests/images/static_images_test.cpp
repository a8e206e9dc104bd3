// The static image show inside one process, as START runs it: the worker on a slot whose folder
// holds FIP1..FIP6 pictures of distinct colours, checked through the stand-in panel library:
// the calls it received, the picture on page 1, the lights, and what buttons, encoders, chords
// and page notifications do.
#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "devices/slot_table.h"
#include "feeds/bitmap_resource.h"
#include "feeds/frame_format.h"
#include "feeds/worker_supervision.h"
#include "images/static_images.h"
#include "resources/resource_ids.h"
#include "tests/driver/call_sequence.h"
#include "tests/driver/pictures.h"
#include "tests/driver/wait.h"
#include "tests/feeds/in_process_panels.h"
#include "tests/images/test_pictures.h"

namespace panelcast {
namespace {

using feeds_test::Panels;
using feeds_test::WaitPumping;

constexpr int kSlot = 0;
constexpr int kTolerance = 24;
// Image n of the JPEG set is kJpegColours[n - 1], of the BMP set kBmpColours[n - 1].
constexpr uint32_t kJpegColours[6] = {0xE01030, 0x20C040, 0x3040D0, 0xF0F020, 0x10E0E0, 0xC020C0};
constexpr uint32_t kBmpColours[6] = {0xFF8000, 0x0080FF, 0x80FF00, 0x602080, 0xA05030, 0x30A050};

const bool kPanelsLoaded = (feeds_test::AddInProcessPanelsEnvironment(1), true);

std::string Describe(const emu::CallRecord& call) { return feeds_test::DescribeCall(call); }

std::string Led(int light, int value) {
  return "SetLed page=1 index=" + std::to_string(light) + " value=" + std::to_string(value);
}
const std::string kFrame = "SetImage page=1 index=0 len=230400";

std::vector<std::string> Blink(int light) {
  return {Led(light, 0), Led(light, 1), Led(light, 0), Led(light, 1), Led(light, 0), Led(light, 1)};
}

class StaticImages : public ::testing::Test {
 protected:
  void SetUp() override {
    serial_ = feeds_test::SerialOfSlot(kSlot);
    ASSERT_TRUE(Panels().ClearFaults());
    DeviceSlot& slot = Slot();
    slot.folderPath.Set(folder_.Path().c_str());
    slot.imageFormat = 0;
    slot.showHints = 0;
    slot.buttonLights = 1;
    slot.imageNumber = 3;  // the worker's start puts it back to 1
    ASSERT_TRUE(Panels().ClearLog());
  }

  void TearDown() override {
    StopWorker(kSlot);
    ASSERT_TRUE(driver::WaitUntil([&] { return Slot().workerThread.load() == nullptr; }, 10000));
    Slot().runningMode = kModeIdle;  // no watcher here returns an ended slot to idle
    ReleaseEndedWorkers();
    for (HANDLE h : kept_) CloseHandle(h);
    Panels().ClearFaults();
  }

  DeviceSlot& Slot() { return Slots()->slots[kSlot]; }

  // FIP<n> for the images listed, in the set's format, each one solid colour.
  void MakeImages(bool jpeg, std::initializer_list<int> images) {
    for (int n : images) {
      const uint32_t colour = (jpeg ? kJpegColours : kBmpColours)[n - 1];
      const auto solid = [colour](int, int) { return colour; };
      const std::vector<uint8_t> bytes =
          jpeg ? images_test::JpegBytes(160, 120, solid) : images_test::BmpBytes(160, 120, solid);
      ASSERT_FALSE(bytes.empty());
      const std::wstring name = L"FIP" + std::to_wstring(n) + (jpeg ? L".JPG" : L".BMP");
      ASSERT_TRUE(images_test::WriteFileBytes(folder_.File(name), bytes));
    }
  }

  HANDLE Start() {
    if (!StartWorker(kSlot, kModeStaticImages, StaticImageFeeder)) return nullptr;
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), Slot().ownedThread, GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    kept_.push_back(copy);
    return copy;
  }

  std::vector<std::string> Calls() {
    std::vector<std::string> out;
    for (const emu::CallRecord& call : Panels().Log(serial_)) out.push_back(Describe(call));
    return out;
  }

  // Start calls: 2 registrations, the page, the splash, the sweep's 6 lights; then image 1's
  // frame and blink when FIP1 is there, or its light going dark when it is not.
  static constexpr std::size_t kStartCalls = 4 + 6;
  bool WaitForCalls(std::size_t count) {
    return WaitPumping([&] { return Calls().size() >= count; }, 10000);
  }
  // Image 1 is shown and its light has blinked.
  bool WaitUntilStarted() { return WaitForCalls(kStartCalls + 1 + 6); }

  // The colour in the middle of the panel's picture (away from the labels), or nothing shown.
  uint32_t ShownColour() {
    const std::vector<uint8_t> frame = Panels().Image(serial_, 1);
    return frame.size() == kFrameBytes ? images_test::FramePixel(frame, 200, 120) : 0xFFFFFFFF;
  }
  bool Shows(uint32_t colour) { return images_test::Near(ShownColour(), colour, kTolerance); }

  std::vector<bool> Leds() {
    const std::optional<emu::PanelInfo> panel = Panels().Panel(serial_);
    if (!panel || panel->pages.empty()) return {};
    return std::vector<bool>(panel->pages[0].leds, panel->pages[0].leds + 6);
  }

  std::vector<std::string> CallsOf(const std::function<bool()>& action) {
    EXPECT_TRUE(Panels().ClearLog());
    EXPECT_TRUE(action());
    return Calls();
  }

  std::string serial_;
  images_test::TempFolder folder_{L"static-images"};
  std::vector<HANDLE> kept_;
};

TEST_F(StaticImages, StartsWithHandlersPageSplashSweepThenImageOneAndEndsByRemovingThePage) {
  MakeImages(true, {1, 2, 3, 4, 5, 6});
  const FrameBitmap splash = LoadFrameBitmap(ResourceModule(), IDB_SPLASH_STATIC);
  ASSERT_TRUE(splash) << "splash bitmap 234 missing from bin/Panelcast.exe";
  const HANDLE worker = Start();
  ASSERT_NE(worker, nullptr);
  ASSERT_TRUE(WaitPumping([&] { return !Panels().Image(serial_, 1).empty(); }, 5000));
  EXPECT_TRUE(Panels().Image(serial_, 1) ==
              std::vector<uint8_t>(splash.pixels, splash.pixels + splash.length))
      << "the first picture is not splash 234";
  ASSERT_TRUE(WaitPumping([&] { return Shows(kJpegColours[0]); }, 10000));
  ASSERT_TRUE(WaitUntilStarted());
  EXPECT_EQ(Slot().imageNumber.load(), 1);

  std::vector<std::string> expected = {
      "RegisterPageCallback ctx=\"Zivovi Panelcast\"",
      "RegisterSoftButtonCallback ctx=\"Zivovi Panelcast\"",
      "AddPage page=1 flags=1",
      kFrame,
      Led(1, 1), Led(2, 1), Led(3, 1), Led(4, 1), Led(5, 1), Led(6, 1),
      kFrame};
  for (const std::string& c : Blink(1)) expected.push_back(c);
  EXPECT_TRUE(driver::CallsMatch(Calls(), expected));
  EXPECT_EQ(Panels().Panel(serial_)->activePage, 1);

  // A stop is seen within about a second, and only removes the page.
  ASSERT_TRUE(Panels().ClearLog());
  const DWORD stopAt = GetTickCount();
  ASSERT_EQ(StopWorker(kSlot), StopResult::kStopped);
  EXPECT_LE(GetTickCount() - stopAt, 1500u);
  DWORD exitCode = STILL_ACTIVE;
  GetExitCodeThread(worker, &exitCode);
  EXPECT_EQ(exitCode, kWorkerFinished);
  EXPECT_TRUE(driver::CallsMatch(Calls(), std::vector<std::string>{"RemovePage page=1"}));
}

TEST_F(StaticImages, ButtonsShowTheirImageAndBlinkTheirLightEncodersStepFromTheirOwnPosition) {
  MakeImages(true, {1, 2, 3, 4, 5, 6});
  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(WaitUntilStarted());
  const uint32_t buttons[6] = {0x20, 0x40, 0x80, 0x100, 0x200, 0x400};
  for (int n = 1; n <= 6; ++n) {
    std::vector<std::string> expected = {kFrame};
    for (const std::string& c : Blink(n)) expected.push_back(c);
    EXPECT_TRUE(driver::CallsMatch(
        CallsOf([&] { return Panels().SendButtons(serial_, buttons[n - 1]); }), expected))
        << "button " << n;
    EXPECT_TRUE(Shows(kJpegColours[n - 1]))
        << "button " << n << " shows " << std::hex << ShownColour();
    EXPECT_EQ(Slot().imageNumber.load(), 1) << "buttons leave the encoders' position";
  }
  // After button 4, a step forward goes from the encoders' own position (1) to 2, not to 5.
  ASSERT_TRUE(Panels().SendButtons(serial_, 0x100));
  const struct {
    uint32_t bit;
    int image;
  } steps[] = {{0x08, 2}, {0x02, 3}, {0x10, 2}, {0x04, 1}, {0x04, 6}, {0x08, 1}, {0x10, 6},
               {0x02, 1}};
  for (const auto& step : steps) {
    ASSERT_TRUE(Panels().Step(serial_, step.bit));
    EXPECT_EQ(Slot().imageNumber.load(), step.image) << "bit " << step.bit;
    EXPECT_TRUE(Shows(kJpegColours[step.image - 1])) << "bit " << step.bit;
  }
}

TEST_F(StaticImages, MissingImagesDarkenTheirLightAndKeepThePicture) {
  MakeImages(true, {1, 2, 3});
  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(WaitUntilStarted());
  ASSERT_TRUE(Panels().SendButtons(serial_, 0x80));
  ASSERT_TRUE(Shows(kJpegColours[2]));
  for (int n = 4; n <= 6; ++n) {
    EXPECT_TRUE(
        driver::CallsMatch(CallsOf([&] { return Panels().SendButtons(serial_, 0x20u << (n - 1)); }),
                           std::vector<std::string>{Led(n, 0)}))
        << "button " << n;
    EXPECT_TRUE(Shows(kJpegColours[2])) << "button " << n;
  }
  // The encoders still walk all six numbers.
  for (int image = 2; image <= 6; ++image) {
    ASSERT_TRUE(Panels().Step(serial_, 0x08));
    EXPECT_EQ(Slot().imageNumber.load(), image);
    EXPECT_TRUE(Shows(kJpegColours[image <= 3 ? image - 1 : 2])) << "image " << image;
  }
  EXPECT_EQ(Leds(), (std::vector<bool>{true, true, true, false, false, false}));
}

TEST_F(StaticImages, BmpFormatWithOnlyJpegFilesKeepsTheSplashAndDarkensLightOne) {
  MakeImages(true, {1, 2, 3, 4, 5, 6});
  Slot().imageFormat = 1;
  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(WaitForCalls(kStartCalls + 1));
  const FrameBitmap splash = LoadFrameBitmap(ResourceModule(), IDB_SPLASH_STATIC);
  EXPECT_EQ(Calls().back(), Led(1, 0));
  EXPECT_TRUE(Panels().Image(serial_, 1) ==
              std::vector<uint8_t>(splash.pixels, splash.pixels + splash.length));
  EXPECT_EQ(Leds(), (std::vector<bool>{false, true, true, true, true, true}));
}

TEST_F(StaticImages, ChordsFlipLabelsLightsAndTheSetAndPageNoticesShowImageOneAgain) {
  MakeImages(true, {1, 2, 3, 4, 5, 6});
  MakeImages(false, {1, 2, 3, 4, 5, 6});
  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(WaitUntilStarted());

  // 1+2: the labels' switch only; nothing is sent until the next picture.
  EXPECT_TRUE(driver::CallsMatch(CallsOf([&] { return Panels().SendButtons(serial_, 0x60); }),
                                 std::vector<std::string>{}));
  EXPECT_EQ(Slot().showHints.load(), 1);
  // 5+6: the BMP set's image 1, now with its labels (Bmp 1 box black at the left edge).
  ASSERT_TRUE(Panels().SendButtons(serial_, 0x40));
  ASSERT_TRUE(Panels().Step(serial_, 0x08));  // encoders at 2
  std::vector<std::string> expected = {kFrame};
  for (const std::string& c : Blink(1)) expected.push_back(c);
  EXPECT_TRUE(
      driver::CallsMatch(CallsOf([&] { return Panels().SendButtons(serial_, 0x600); }), expected));
  EXPECT_EQ(Slot().imageFormat.load(), 1);
  EXPECT_EQ(Slot().imageNumber.load(), 2) << "the set's switch leaves the encoders' position";
  EXPECT_TRUE(Shows(kBmpColours[0]));
  std::vector<uint8_t> frame = Panels().Image(serial_, 1);
  EXPECT_EQ(images_test::FramePixel(frame, 1, 7), 0u) << "the first label box's corner";
  driver::SaveFramePng(L"static_images_bmp_set_with_labels", frame);
  // And back to the JPEG set.
  ASSERT_TRUE(Panels().SendButtons(serial_, 0x600));
  EXPECT_EQ(Slot().imageFormat.load(), 0);
  EXPECT_TRUE(Shows(kJpegColours[0]));

  // 3+4: all lights dark; a pressed button's light ends dark.
  EXPECT_TRUE(driver::CallsMatch(CallsOf([&] { return Panels().SendButtons(serial_, 0x180); }),
            (std::vector<std::string>{Led(1, 0), Led(2, 0), Led(3, 0), Led(4, 0), Led(5, 0),
                                      Led(6, 0)})));
  ASSERT_TRUE(Panels().SendButtons(serial_, 0x80));
  EXPECT_EQ(Leds(), std::vector<bool>(6, false));

  // A notice for page 1 sets the lights as the switch says and shows image 1 again; the
  // encoders keep their position.
  ASSERT_TRUE(Panels().Step(serial_, 0x08));
  const uint16_t position = Slot().imageNumber.load();
  ASSERT_TRUE(Panels().SwitchPage(serial_, 0));
  ASSERT_TRUE(Panels().ClearLog());
  ASSERT_TRUE(Panels().SwitchPage(serial_, 1));
  std::vector<std::string> notice = {Led(1, 1), Led(2, 1), Led(3, 1), Led(4, 1), Led(5, 1),
                                     Led(6, 1), Led(1, 0), Led(2, 0), Led(3, 0), Led(4, 0),
                                     Led(5, 0), Led(6, 0), kFrame};
  for (const std::string& c : Blink(1)) notice.push_back(c);
  notice.push_back(Led(1, 0));
  EXPECT_TRUE(driver::CallsMatch(Calls(), notice));
  EXPECT_TRUE(Shows(kJpegColours[0]));
  EXPECT_EQ(Slot().imageNumber.load(), position);
}

TEST_F(StaticImages, AFolderTooLongForItsNamesCountsAsHoldingNoImages) {
  // 251 characters: "\FIP1.JPG" no longer fits in 260 with its terminator.
  std::wstring longFolder = folder_.Path() + L"\\";
  longFolder += std::wstring(251 - longFolder.size(), L'a');
  ASSERT_EQ(longFolder.size(), 251u);
  Slot().folderPath.Set(longFolder.c_str());
  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(WaitForCalls(kStartCalls + 1));
  EXPECT_EQ(Calls().back(), Led(1, 0));
  EXPECT_TRUE(driver::CallsMatch(CallsOf([&] { return Panels().SendButtons(serial_, 0x40); }),
            std::vector<std::string>{Led(2, 0)}));
}

TEST_F(StaticImages, AWorkerWhosePanelRefusesGivesUpWithoutLeavingItsPage) {
  MakeImages(true, {1});
  for (const char* call : {"RegisterPageCallback", "RegisterSoftButtonCallback", "AddPage"}) {
    SCOPED_TRACE(call);
    ASSERT_TRUE(Panels().Fault(call, static_cast<int32_t>(0x80004005), false));
    ASSERT_TRUE(Panels().ClearLog());
    const HANDLE worker = Start();
    ASSERT_NE(worker, nullptr);
    ASSERT_EQ(WaitForSingleObject(worker, 5000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeThread(worker, &exitCode);
    EXPECT_EQ(exitCode, kWorkerGaveUp);
    EXPECT_EQ(Slot().workerThread.load(), nullptr);
    EXPECT_TRUE(Panels().Panel(serial_)->pages.empty()) << "a page was left behind";
    for (const std::string& c : Calls()) EXPECT_TRUE(c.rfind("SetImage", 0) != 0) << c;
    Slot().runningMode = kModeIdle;
    ReleaseEndedWorkers();
  }
}

}  // namespace
}  // namespace panelcast
