// The panel list in the order the composite-device service lists the panels, with and without
// the hardware-details switch.
#include <gtest/gtest.h>

#include "tests/identification/identification_support.h"

namespace idtest {
namespace {

using Lines = std::vector<std::wstring>;

TEST(RegistryOrder, TwoPanelsListedTheOtherWaySwapAndShowTheirSerialsWhenAsked) {
  ServiceEnum order(L"usbccgp", 2, {PanelInstance(L"B2"), PanelInstance(L"A1")});
  auto session = Start(L"A1,B2", false);
  ASSERT_TRUE(session);
  EXPECT_EQ(ListLines(session->mainWindow), (Lines{kGeneric, kGeneric}));

  HWND menu = OpenContextMenu(*session);
  ASSERT_TRUE(menu);
  const driver::Picture unchecked = PaintedMenu(menu);
  driver::SaveScreenshot(L"identification-context-menu");
  driver::PostKey(menu, VK_ESCAPE);
  ASSERT_TRUE(driver::WaitUntil([&] { return !IsWindowVisible(menu); }, kTimeoutMs));
  EXPECT_EQ(ListLines(session->mainWindow), (Lines{kGeneric, kGeneric})) << "Esc changed nothing";

  ASSERT_TRUE(ChooseShowHardwareDetails(*session));
  EXPECT_EQ(ListLines(session->mainWindow), (Lines{SerialLine(L"B2"), SerialLine(L"A1")}));
  EXPECT_EQ(driver::ListSelection(session->mainWindow, kPanelList), 0) << "the highlight stays";
  driver::SaveScreenshot(L"identification-serial-numbers", session->mainWindow);
  menu = OpenContextMenu(*session);
  ASSERT_TRUE(menu);
  const driver::Picture checked = PaintedMenu(menu);
  driver::SaveScreenshot(L"identification-context-menu-checked");
  EXPECT_EQ(checked.width, unchecked.width);
  EXPECT_NE(checked.bgr, unchecked.bgr) << "the item shows whether the switch is on";
  driver::PostKey(menu, VK_ESCAPE);
  ASSERT_TRUE(driver::WaitUntil([&] { return !IsWindowVisible(menu); }, kTimeoutMs));

  // Refresh walks the registry again; the order and the switch hold.
  driver::Click(session->mainWindow, 1009);
  ASSERT_TRUE(driver::WaitUntil(
      [&] { return ListLines(session->mainWindow) == Lines{SerialLine(L"B2"), SerialLine(L"A1")}; },
      kTimeoutMs));

  ASSERT_TRUE(ChooseShowHardwareDetails(*session, false));
  EXPECT_EQ(ListLines(session->mainWindow), (Lines{kGeneric, kGeneric})) << "switched off again";
}

TEST(RegistryOrder, ThreePanelsFollowTheRegistryPastOtherDevicesEntries) {
  ServiceEnum order(L"usbccgp", 4,
                    {PanelInstance(L"C3"), L"USB\\VID_1209&PID_0001\\A1", PanelInstance(L"A1"),
                     PanelInstance(L"B2")});
  auto session = Start(L"A1,B2,C3", false);
  ASSERT_TRUE(session);
  EXPECT_EQ(ListLines(session->mainWindow), (Lines{kGeneric, kGeneric, kGeneric}));
  ASSERT_TRUE(ChooseShowHardwareDetails(*session));
  EXPECT_EQ(ListLines(session->mainWindow),
            (Lines{SerialLine(L"C3"), SerialLine(L"A1"), SerialLine(L"B2")}));
}

TEST(RegistryOrder, CountsOfZeroAndOneKeepTheOrderOfTheInterfaces) {
  for (DWORD count : {0u, 1u}) {
    ServiceEnum order(L"usbccgp", count, {PanelInstance(L"B2"), PanelInstance(L"A1")});
    auto session = Start(L"A1,B2", false);
    ASSERT_TRUE(session);
    ASSERT_TRUE(ChooseShowHardwareDetails(*session));
    EXPECT_EQ(ListLines(session->mainWindow), (Lines{SerialLine(L"A1"), SerialLine(L"B2")}))
        << "Count " << count;
  }
}

TEST(RegistryOrder, AValueLongerThanTheBufferIsSkipped) {
  // 60 characters and a terminator: more than the 100 bytes the walk offers.
  std::wstring longB2 = PanelInstance(L"B2") + L"&";
  longB2.resize(60, L'0');
  ServiceEnum order(L"usbccgp", 3, {longB2, PanelInstance(L"A1"), PanelInstance(L"B2")});
  auto session = Start(L"A1,B2", false);
  ASSERT_TRUE(session);
  ASSERT_TRUE(ChooseShowHardwareDetails(*session));
  EXPECT_EQ(ListLines(session->mainWindow), (Lines{SerialLine(L"A1"), SerialLine(L"B2")}));
}

}  // namespace
}  // namespace idtest
