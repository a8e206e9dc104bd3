// The emulated panels' rules: handles, pages, lights, images, buttons and what the program is told.
#include "emulator/directoutput/panel_board.h"

#include <gtest/gtest.h>

#include "emulator/directoutput/fault_table.h"
#include "emulator/directoutput/result_codes.h"

namespace emu {
namespace {

TEST(PanelBoard, HandlesAreNeverGivenOutTwice) {
  PanelBoard board;
  std::vector<Notice> notices;
  const auto a = board.AddPanel("A", "fip", notices);
  ASSERT_TRUE(a);
  EXPECT_FALSE(board.AddPanel("A", "fip", notices));
  EXPECT_FALSE(board.AddPanel("", "fip", notices));
  ASSERT_TRUE(board.RemovePanel("A", notices));
  const auto again = board.AddPanel("A", "fip", notices);
  ASSERT_TRUE(again);
  EXPECT_NE(*a, *again);
  ASSERT_EQ(notices.size(), 3u);
  EXPECT_EQ(notices[1].kind, Notice::Kind::Removal);
  EXPECT_EQ(notices[1].device, *a);
  EXPECT_EQ(board.Find(*a), nullptr);
  EXPECT_EQ(board.AddPage(*a, 1, 0), codes::kHandle);
}

TEST(PanelBoard, PanelsKeepTheOrderTheyCameIn) {
  PanelBoard board;
  std::vector<Notice> notices;
  board.AddPanel("A", "fip", notices);
  board.AddPanel("B", "other", notices);
  board.AddPanel("C", "fip", notices);
  board.RemovePanel("B", notices);
  ASSERT_EQ(board.Panels().size(), 2u);
  EXPECT_EQ(board.Panels()[0].serial, "A");
  EXPECT_EQ(board.Panels()[1].serial, "C");
}

TEST(PanelBoard, PagesAndTheShownPage) {
  PanelBoard board;
  std::vector<Notice> notices;
  const uintptr_t dev = *board.AddPanel("A", "fip", notices);
  EXPECT_EQ(board.AddPage(dev, 0, 0), codes::kInvalidArg);
  EXPECT_EQ(board.AddPage(dev, 2, 0), codes::kOk);
  EXPECT_EQ(board.AddPage(dev, 1, 1), codes::kOk);
  EXPECT_EQ(board.AddPage(dev, 1, 0), codes::kInvalidArg);
  const BoardPanel& panel = *board.Find(dev);
  ASSERT_EQ(panel.pages.size(), 2u);
  EXPECT_EQ(panel.pages[0].number, 1u);
  EXPECT_EQ(panel.activePage, 1);
  EXPECT_EQ(board.RemovePage(dev, 1), codes::kOk);
  EXPECT_EQ(panel.activePage, 0);
  EXPECT_EQ(board.RemovePage(dev, 1), codes::kInvalidArg);
}

TEST(PanelBoard, ImagesAndLights) {
  PanelBoard board;
  std::vector<Notice> notices;
  const uintptr_t dev = *board.AddPanel("A", "fip", notices);
  board.AddPage(dev, 1, 0);
  std::vector<uint8_t> frame(kImageBytes, 7);
  EXPECT_EQ(board.SetImage(dev, 1, 0, 100, frame.data(), 5), codes::kBufferTooSmall);
  EXPECT_EQ(board.SetImage(dev, 1, 1, kImageBytes, frame.data(), 5), codes::kInvalidArg);
  EXPECT_EQ(board.SetImage(dev, 1, 0, kImageBytes, nullptr, 5), codes::kInvalidArg);
  EXPECT_EQ(board.SetImage(dev, 2, 0, kImageBytes, frame.data(), 5), codes::kInvalidArg);
  EXPECT_EQ(board.SetImage(dev, 1, 0, kImageBytes, frame.data(), 5), codes::kOk);
  const BoardPage& page = board.Find(dev)->pages[0];
  EXPECT_EQ(page.image, frame);
  EXPECT_EQ(page.imageCount, 1u);
  EXPECT_EQ(page.lastImageTick, 5u);
  EXPECT_EQ(board.SetImage(dev, 1, 0, 0, nullptr, 9), codes::kOk);
  EXPECT_TRUE(page.image.empty());
  EXPECT_EQ(board.SetLed(dev, 1, 0, 1), codes::kInvalidArg);
  EXPECT_EQ(board.SetLed(dev, 1, 7, 1), codes::kInvalidArg);
  EXPECT_EQ(board.SetLed(dev, 1, 6, 5), codes::kOk);
  EXPECT_TRUE(page.leds[5]);
  board.refuseInactive = true;
  EXPECT_EQ(board.SetLed(dev, 1, 6, 0), codes::kPageNotActive);
  EXPECT_EQ(board.SetImage(dev, 1, 0, 0, nullptr, 9), codes::kPageNotActive);
}

TEST(PanelBoard, ButtonsReachTheProgramOnlyOnItsOwnPage) {
  PanelBoard board;
  std::vector<Notice> notices;
  const uintptr_t dev = *board.AddPanel("A", "fip", notices);
  notices.clear();
  EXPECT_TRUE(board.Press("A", 0x20, notices));
  EXPECT_TRUE(notices.empty());
  board.AddPage(dev, 1, 1);
  EXPECT_TRUE(board.Press("A", 0x40, notices));
  EXPECT_TRUE(board.Release("A", 0x20, notices));
  EXPECT_TRUE(board.Step("A", 0x08, notices));
  EXPECT_TRUE(board.Release("A", 0x40, notices));
  std::vector<uint32_t> values;
  for (const Notice& n : notices) values.push_back(n.buttons);
  EXPECT_EQ(values, (std::vector<uint32_t>{0x60, 0x40, 0x48, 0x40, 0}));
  EXPECT_FALSE(board.Press("A", 0x01, notices));
  EXPECT_FALSE(board.Step("A", 0x20, notices));
  EXPECT_FALSE(board.Press("Z", 0x20, notices));
}

TEST(PanelBoard, PageSwitchesTellOldThenNew) {
  PanelBoard board;
  std::vector<Notice> notices;
  const uintptr_t dev = *board.AddPanel("A", "fip", notices);
  board.AddPage(dev, 1, 1);
  board.AddPage(dev, 2, 0);
  notices.clear();
  EXPECT_TRUE(board.SwitchPage("A", 2, notices));
  EXPECT_TRUE(board.SwitchPage("A", 0, notices));
  EXPECT_FALSE(board.SwitchPage("A", 3, notices));
  ASSERT_EQ(notices.size(), 3u);
  EXPECT_EQ(notices[0].page, 1u);
  EXPECT_FALSE(notices[0].activated);
  EXPECT_EQ(notices[1].page, 2u);
  EXPECT_TRUE(notices[1].activated);
  EXPECT_EQ(notices[2].page, 2u);
  EXPECT_FALSE(notices[2].activated);
  EXPECT_EQ(board.Find(dev)->activePage, kOtherProgramsPage);
  board.ForgetProgram();
  EXPECT_TRUE(board.Find(dev)->pages.empty());
  EXPECT_EQ(board.Find(dev)->activePage, kOtherProgramsPage);
}

TEST(FaultTable, OnceIsUsedUpAlwaysStays) {
  FaultTable faults;
  faults.Set("Initialize", -1, false);
  faults.Set("Enumerate", -2, true);
  EXPECT_EQ(faults.Take("Initialize"), -1);
  EXPECT_FALSE(faults.Take("Initialize"));
  EXPECT_EQ(faults.Take("Enumerate"), -2);
  EXPECT_EQ(faults.Take("Enumerate"), -2);
  faults.Clear();
  EXPECT_FALSE(faults.Take("Enumerate"));
}

}  // namespace
}  // namespace emu
