// Interfaces that do not pair one to one with the panels: long paths, long serial numbers,
// upper-case paths, other devices, fewer interfaces than panels, no device set at all; and the
// start-up notice that follows from them.
#include <gtest/gtest.h>

#include "tests/identification/identification_support.h"

namespace idtest {
namespace {

using Lines = std::vector<std::wstring>;

TEST(InterfaceEdges, APathOfAHundredCharactersGivesNoSerialNumber) {
  std::wstring longPath = PanelPath(L"B2");
  longPath.insert(longPath.size() - 38, std::wstring(100 - longPath.size(), L'x'));
  ASSERT_EQ(longPath.size(), 100u);
  auto session = Start(L"A1,B2", false, {{L"PANELCAST_EMU_USB_PATHS", L"B2=" + longPath}});
  ASSERT_TRUE(session);
  ASSERT_TRUE(ChooseShowHardwareDetails(*session));
  EXPECT_EQ(ListLines(session->mainWindow), (Lines{SerialLine(L"A1"), kGeneric}));
}

TEST(InterfaceEdges, WhenNoSerialNumberIsFoundTheStartUpSaysSo) {
  std::wstring longPath = PanelPath(L"A1") + std::wstring(80, L'x');
  auto session = Start(L"A1", true, {{L"PANELCAST_EMU_USB_PATHS", L"A1=" + longPath}});
  ASSERT_TRUE(session);
  ASSERT_TRUE(ChooseShowHardwareDetails(*session));
  EXPECT_EQ(ListLines(session->mainWindow), (Lines{kGeneric}));
}

TEST(InterfaceEdges, NoDeviceSetMeansTheNoticeAndGenericLines) {
  auto session = Start(L"A1,B2", true, {{L"PANELCAST_EMU_USB_FAIL", L"1"}});
  ASSERT_TRUE(session);
  ASSERT_TRUE(ChooseShowHardwareDetails(*session));
  EXPECT_EQ(ListLines(session->mainWindow), (Lines{kGeneric, kGeneric}));
}

TEST(InterfaceEdges, ASerialNumberOfMoreThanFiftyCharactersIsCutAndCounts) {
  const std::wstring serial = L"S123456789A123456789B123456789C123456789D123456789E12345";
  ASSERT_EQ(serial.size(), 56u);
  // No class part after the serial, so the path stays below 100 characters.
  std::wstring path = PanelPath(serial);
  path.resize(path.size() - 39);
  ASSERT_LT(path.size(), 100u);
  auto session = Start(serial, false, {{L"PANELCAST_EMU_USB_PATHS", serial + L"=" + path}});
  ASSERT_TRUE(session);
  ASSERT_TRUE(ChooseShowHardwareDetails(*session));
  EXPECT_EQ(ListLines(session->mainWindow), (Lines{SerialLine(serial.substr(0, 50))}));
}

TEST(InterfaceEdges, UpperCasePathsAndOtherDevicesAreNoPanels) {
  std::wstring upper = PanelPath(L"A1");
  for (wchar_t& c : upper) c = static_cast<wchar_t>(towupper(c));
  auto session = Start(
      L"A1,B2", false,
      {{L"PANELCAST_EMU_USB_PATHS", L"A1=" + upper},
       {L"PANELCAST_EMU_USB_EXTRA",
        L"\\\\?\\usb#vid_1209&pid_0001#q9#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"}});
  ASSERT_TRUE(session);
  ASSERT_TRUE(ChooseShowHardwareDetails(*session));
  // B2's interface is the first panel interface, so it pairs with the first slot.
  EXPECT_EQ(ListLines(session->mainWindow), (Lines{SerialLine(L"B2"), kGeneric}));
}

TEST(InterfaceEdges, FewerInterfacesThanPanelsLeaveTheLastLinesGenericThroughARemoval) {
  auto session = Start(L"A1,B2,C3", false, {{L"PANELCAST_EMU_USB_ONLY", L"1"}});
  ASSERT_TRUE(session);
  ASSERT_TRUE(ChooseShowHardwareDetails(*session));
  EXPECT_EQ(ListLines(session->mainWindow), (Lines{SerialLine(L"A1"), kGeneric, kGeneric}));

  // C3 has a slot but no entry: its removal still takes one line away.
  ASSERT_TRUE(session->panels->RemovePanel("C3"));
  ASSERT_TRUE(driver::WaitUntil(
      [&] { return driver::ListCount(session->mainWindow, kPanelList) == 2; }, kTimeoutMs));
  EXPECT_EQ(ListLines(session->mainWindow), (Lines{SerialLine(L"A1"), kGeneric}));
  ASSERT_TRUE(session->panels->RemovePanel("B2"));
  ASSERT_TRUE(driver::WaitUntil(
      [&] { return driver::ListCount(session->mainWindow, kPanelList) == 1; }, kTimeoutMs));
  EXPECT_EQ(ListLines(session->mainWindow), (Lines{SerialLine(L"A1")}));

  // An arrival pairs again in the library's order.
  ASSERT_TRUE(session->panels->AddPanel("D4"));
  ASSERT_TRUE(driver::WaitUntil(
      [&] { return driver::ListCount(session->mainWindow, kPanelList) == 2; }, kTimeoutMs));
  EXPECT_EQ(ListLines(session->mainWindow), (Lines{SerialLine(L"A1"), kGeneric}));
}

}  // namespace
}  // namespace idtest
