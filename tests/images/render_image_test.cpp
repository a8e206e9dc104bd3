// Image files made into panel frames, inside one process against the stand-in panel library:
// pictures of any size fill the screen, the labels of the set lie over them only while hints are
// on, files that do not decode send nothing, and a few hundred damaged files neither crash the
// renderer nor leak handles or GDI objects.
#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>

#include <random>
#include <string>
#include <vector>

#include "devices/slot_table.h"
#include "feeds/bitmap_resource.h"
#include "feeds/frame_format.h"
#include "images/render_image.h"
#include "panel_library/direct_output_api.h"
#include "resources/resource_ids.h"
#include "tests/driver/pictures.h"
#include "tests/feeds/in_process_panels.h"
#include "tests/images/test_pictures.h"

namespace panelcast {
namespace {

using feeds_test::Panels;
using images_test::BlockMismatches;
using images_test::BlockPattern;

constexpr int kSlot = 0;
constexpr int kBmpTolerance = 12;   // halftone scaling of solid blocks
constexpr int kJpegTolerance = 32;  // plus the encoder's losses
constexpr int kMargin = 4;          // pixels beside a block edge that scaling may blend
// An enlarged JPEG shows the encoder's losses larger: its blur at block edges (8x8 cells, colour
// at half resolution) spreads wider, and saturated colours come back paler.
constexpr int kEnlargedJpegMargin = 14;
constexpr int kEnlargedJpegTolerance = 48;

const bool kPanelsLoaded = (feeds_test::AddInProcessPanelsEnvironment(1), true);

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

class RenderImage : public ::testing::Test {
 protected:
  void SetUp() override {
    serial_ = feeds_test::SerialOfSlot(kSlot);
    device_ = Slots()->slots[kSlot].device.load();
    ASSERT_TRUE(Panels().ClearFaults());
    ASSERT_GE(DirectOutput().AddPage(device_, 1, directoutput::kPageFlagSetAsActive), 0);
    Slots()->slots[kSlot].showHints = 0;
    ASSERT_TRUE(Panels().ClearLog());
  }
  void TearDown() override { (void)DirectOutput().RemovePage(device_, 1); }

  // Renders `bytes` written to `name` in the test folder; the panel's picture afterwards.
  std::vector<uint8_t> Render(const std::wstring& name, const std::vector<uint8_t>& bytes,
                              uint16_t hintId = IDB_HINTS_JPG) {
    const std::wstring path = folder_.File(name);
    EXPECT_TRUE(images_test::WriteFileBytes(path, bytes));
    RenderImageFile(device_, path.c_str(), hintId);
    return Panels().Image(serial_, 1);
  }

  int FramesSent() {
    int sent = 0;
    for (const emu::CallRecord& call : Panels().Log(serial_)) sent += call.name == "SetImage";
    return sent;
  }

  std::string serial_;
  directoutput::DeviceHandle device_ = nullptr;
  images_test::TempFolder folder_{L"render-image"};
};

auto NoSkip = [](int, int) { return false; };

TEST_F(RenderImage, PicturesOfAnySizeFillTheWholeScreen) {
  struct Case {
    const wchar_t* name;
    int width, height;
    bool jpeg;
  };
  const Case cases[] = {{L"halved.jpg", 640, 480, true},
                        {L"halved.bmp", 640, 480, false},
                        {L"stretched.jpg", 160, 120, true},  // smaller ones lose too much colour
                        {L"stretched.bmp", 100, 100, false},
                        {L"copied.bmp", 320, 240, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.name));
    const auto pattern = BlockPattern(c.width, c.height);
    const std::vector<uint8_t> bytes = c.jpeg ? images_test::JpegBytes(c.width, c.height, pattern)
                                              : images_test::BmpBytes(c.width, c.height, pattern);
    ASSERT_FALSE(bytes.empty()) << "no JPEG encoder";
    const std::vector<uint8_t> frame = Render(c.name, bytes);
    ASSERT_EQ(frame.size(), kFrameBytes);
    std::string first;
    const bool enlargedJpeg = c.jpeg && c.width < kFrameWidth;
    const int margin = enlargedJpeg ? kEnlargedJpegMargin : kMargin;
    const int tolerance = enlargedJpeg ? kEnlargedJpegTolerance : c.jpeg ? kJpegTolerance : kBmpTolerance;
    EXPECT_EQ(BlockMismatches(frame, tolerance, margin, NoSkip, first), 0)
        << first << "; frame in " << Narrow(driver::SaveFramePng(L"render_failed", frame));
  }
}

TEST_F(RenderImage, APictureOfTheScreensSizeIsCopiedPixelForPixel) {
  // Every pixel different from its neighbours: any scaling or shift would show.
  const auto noise = [](int x, int y) {
    return static_cast<uint32_t>((x * 73 + y * 151) % 256) << 16 |
           static_cast<uint32_t>((x * 31 + y * 17) % 256) << 8 | ((x ^ y) & 0xFF);
  };
  const std::vector<uint8_t> frame =
      Render(L"exact.bmp", images_test::BmpBytes(kFrameWidth, kFrameHeight, noise));
  ASSERT_EQ(frame.size(), kFrameBytes);
  int mismatches = 0;
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      mismatches += !images_test::Near(images_test::FramePixel(frame, x, y), noise(x, y), 2);
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST_F(RenderImage, LabelsLieOverThePictureOnlyWhileHintsAreOn) {
  const std::vector<uint8_t> jpeg = images_test::JpegBytes(640, 480, BlockPattern(640, 480));
  const std::vector<uint8_t> bmp = images_test::BmpBytes(640, 480, BlockPattern(640, 480));
  ASSERT_FALSE(jpeg.empty());
  struct Case {
    const wchar_t* file;
    const std::vector<uint8_t>* bytes;
    uint16_t hintId;
    const wchar_t* dump;
    int tolerance;
  };
  const Case cases[] = {{L"labels.jpg", &jpeg, IDB_HINTS_JPG, L"static_jpeg", kJpegTolerance},
                        {L"labels.bmp", &bmp, IDB_HINTS_BMP, L"static_bmp", kBmpTolerance}};
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.file));
    const FrameBitmap hints = LoadFrameBitmap(ResourceModule(), c.hintId);
    ASSERT_GE(hints.length, kFrameBytes) << "hint bitmap " << c.hintId;
    auto isLabel = [&](int x, int y) {
      const std::size_t at = (static_cast<std::size_t>(kFrameHeight - 1 - y) * kFrameWidth + x) * 3;
      return hints.pixels[at] != 1 || hints.pixels[at + 1] != 1 || hints.pixels[at + 2] != 1;
    };

    Slots()->slots[kSlot].showHints = 1;
    std::vector<uint8_t> frame = Render(c.file, *c.bytes, c.hintId);
    ASSERT_EQ(frame.size(), kFrameBytes);
    driver::SaveFramePng(std::wstring(c.dump) + L"_with_labels", frame);
    std::string first;
    EXPECT_EQ(BlockMismatches(frame, c.tolerance, kMargin, isLabel, first), 0) << first;
    int labelPixels = 0;
    for (int y = 0; y < kFrameHeight; ++y) {
      for (int x = 0; x < kFrameWidth; ++x) {
        if (!isLabel(x, y)) continue;
        ++labelPixels;
        EXPECT_TRUE(x >= 1 && x <= 42) << "label pixel at column " << x;
        const std::size_t at = (static_cast<std::size_t>(kFrameHeight - 1 - y) * kFrameWidth + x) * 3;
        for (int b = 0; b < 3; ++b) {
          if (hints.pixels[at + b] != 1) {
            ASSERT_EQ(frame[at + b], hints.pixels[at + b]) << x << "," << y;
          }
        }
      }
    }
    EXPECT_EQ(labelPixels, 6 * 42 * 15) << "six boxes of 42 by 15";

    Slots()->slots[kSlot].showHints = 0;
    frame = Render(c.file, *c.bytes, c.hintId);
    driver::SaveFramePng(std::wstring(c.dump) + L"_bare", frame);
    EXPECT_EQ(BlockMismatches(frame, c.tolerance, kMargin, NoSkip, first), 0) << "bare: " << first;
    // The first label box's corner shows the picture's top-left block, not black.
    EXPECT_TRUE(images_test::Near(images_test::FramePixel(frame, 5, 12),
                                  images_test::BlockColour(0, 0), c.tolerance));
  }
}

TEST_F(RenderImage, AFileThatDoesNotDecodeLeavesThePreviousPicture) {
  const std::vector<uint8_t> shown = Render(L"good.bmp", images_test::BmpBytes(320, 240, BlockPattern(320, 240)));
  ASSERT_EQ(shown.size(), kFrameBytes);
  const std::vector<uint8_t> jpeg = images_test::JpegBytes(320, 240, BlockPattern(320, 240));
  const std::vector<uint8_t> text = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
  const struct {
    const wchar_t* name;
    std::vector<uint8_t> bytes;
  } bad[] = {{L"empty.jpg", {}},
             {L"text.jpg", text},
             {L"truncated.jpg", std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + jpeg.size() / 3)},
             {L"header_only.bmp", std::vector<uint8_t>(shown.begin(), shown.begin() + 20)}};
  const int before = FramesSent();
  for (const auto& b : bad) {
    SCOPED_TRACE(Narrow(b.name));
    EXPECT_EQ(Render(b.name, b.bytes), shown);
  }
  RenderImageFile(device_, folder_.File(L"missing.jpg").c_str(), IDB_HINTS_JPG);
  RenderImageFile(device_, L"", IDB_HINTS_JPG);
  EXPECT_EQ(FramesSent(), before) << "a frame was sent for a file that does not decode";
  EXPECT_EQ(Panels().Image(serial_, 1), shown);
}

TEST_F(RenderImage, AFileNamedJpgHoldingABitmapIsShown) {
  const std::vector<uint8_t> frame =
      Render(L"FIP1.JPG", images_test::BmpBytes(640, 480, BlockPattern(640, 480)));
  ASSERT_EQ(frame.size(), kFrameBytes);
  std::string first;
  EXPECT_EQ(BlockMismatches(frame, kBmpTolerance, kMargin, NoSkip, first), 0) << first;
}

// Damaged variants of a good file: bytes flipped, runs zeroed or filled, cut short, header
// fields mangled, junk spliced in.
std::vector<uint8_t> Mutate(const std::vector<uint8_t>& good, std::mt19937& random) {
  std::vector<uint8_t> bytes = good;
  auto pick = [&](std::size_t limit) {
    return std::uniform_int_distribution<std::size_t>(0, limit - 1)(random);
  };
  switch (pick(6)) {
    case 0:
      for (int i = 0, n = 1 + static_cast<int>(pick(40)); i < n; ++i) bytes[pick(bytes.size())] ^= 1 << pick(8);
      break;
    case 1:
      bytes.resize(pick(bytes.size()));
      break;
    case 2: {
      const std::size_t at = pick(bytes.size()), length = std::min(bytes.size() - at, pick(4096));
      std::fill(bytes.begin() + at, bytes.begin() + at + length, pick(2) ? 0x00 : 0xFF);
      break;
    }
    case 3:
      for (std::size_t i = 0; i < std::min<std::size_t>(64, bytes.size()); ++i) {
        if (pick(4) == 0) bytes[i] = static_cast<uint8_t>(pick(256));
      }
      break;
    case 4: {
      std::vector<uint8_t> junk(pick(2048) + 1);
      for (uint8_t& b : junk) b = static_cast<uint8_t>(pick(256));
      bytes.insert(bytes.begin() + pick(bytes.size()), junk.begin(), junk.end());
      break;
    }
    default:  // the size fields of a bitmap, or a JPEG segment length, made huge
      for (std::size_t at : {2u, 18u, 22u, 34u, 4u, 5u}) {
        if (at + 3 < bytes.size() && pick(2)) bytes[at + pick(4)] = 0xFF;
      }
      break;
  }
  return bytes;
}

TEST_F(RenderImage, HundredsOfDamagedFilesNeitherCrashNorLeak) {
  const std::vector<uint8_t> jpeg = images_test::JpegBytes(200, 150, BlockPattern(200, 150));
  const std::vector<uint8_t> bmp = images_test::BmpBytes(200, 150, BlockPattern(200, 150));
  ASSERT_FALSE(jpeg.empty());
  // One good render of each first, so that what the decoders keep for the process is in place.
  Render(L"warm.jpg", jpeg);
  Render(L"warm.bmp", bmp);
  // Handle and GDI object counts where the system reports them (Wine answers 0 for both), and
  // the process's committed memory everywhere: each leaked decode or frame section would keep
  // 100 to 230 KB, so hundreds of leaks show as tens of megabytes.
  DWORD handlesBefore = 0, handlesAfter = 0;
  GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
  const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  PROCESS_MEMORY_COUNTERS memoryBefore{}, memoryAfter{};
  ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &memoryBefore, sizeof(memoryBefore)));

  std::mt19937 random(20240611);
  constexpr int kVariants = 400;
  int sent = 0;
  const int framesBefore = FramesSent();
  for (int i = 0; i < kVariants; ++i) {
    const bool isJpeg = i % 2 == 0;
    const std::vector<uint8_t> bytes = Mutate(isJpeg ? jpeg : bmp, random);
    const std::wstring path = folder_.File(isJpeg ? L"fuzz.jpg" : L"fuzz.bmp");
    ASSERT_TRUE(images_test::WriteFileBytes(path, bytes))
        << "variant " << i << ": the file is still held open (error " << GetLastError() << ")";
    RenderImageFile(device_, path.c_str(), IDB_HINTS_JPG);
  }
  sent = FramesSent() - framesBefore;
  GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
  const DWORD gdiAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &memoryAfter, sizeof(memoryAfter)));
  const double growthMb =
      (static_cast<double>(memoryAfter.PagefileUsage) - memoryBefore.PagefileUsage) / (1 << 20);
  std::printf("[ fuzz     ] %d damaged files, %d still decoded and were sent; handles %lu -> %lu, "
              "GDI objects %lu -> %lu, committed memory %+.1f MB\n",
              kVariants, sent, handlesBefore, handlesAfter, gdiBefore, gdiAfter, growthMb);
  EXPECT_LT(growthMb, 8.0) << "memory kept by the renders";
  EXPECT_LE(handlesAfter, handlesBefore + 2) << "handles leaked";
  EXPECT_LE(gdiAfter, gdiBefore + 2) << "GDI objects leaked";
  EXPECT_LT(sent, kVariants) << "no damaged file was refused: the mutations did nothing";
  // The renderer still works afterwards.
  const std::vector<uint8_t> frame = Render(L"after.bmp", bmp);
  std::string first;
  EXPECT_EQ(BlockMismatches(frame, kBmpTolerance, kMargin, NoSkip, first), 0) << first;
}

}  // namespace
}  // namespace panelcast
