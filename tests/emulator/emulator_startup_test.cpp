// Start-up settings from the environment: counted panels, faults that hit the program's first
// calls before any control client could connect, a panel whose type cannot be read, and pages
// not shown refusing from the start.
#include <gtest/gtest.h>
#include <windows.h>

#include "emulator/control/panel_control.h"
#include "tests/emulator/emulator_harness.h"

using emutest::Api;
using emutest::Event;
using emutest::Recorder;

namespace {

const std::wstring kPipe = emutest::UniquePipe(L"startup");

TEST(EmulatorStartup, SettingsFromTheEnvironmentHoldFromTheFirstCall) {
  emutest::LoadEmulator({{L"PANELCAST_EMU_PIPE", kPipe},
                         {L"PANELCAST_EMU_COUNT", L"3"},
                         {L"PANELCAST_EMU_FAULTS",
                          L"Initialize=0x80004005; RegisterDeviceCallback=0x80070005:once;"
                          L"Enumerate=0x8007000E:always"},
                         {L"PANELCAST_EMU_TYPE_FAILS", L"EMU0002"},
                         {L"PANELCAST_EMU_INACTIVE_REFUSES", L"1"}});
  const panelcast::DirectOutputApi& a = Api();
  ASSERT_NE(a.Initialize, nullptr);

  EXPECT_EQ(a.Initialize(L"Panelcast"), static_cast<HRESULT>(0x80004005));
  EXPECT_EQ(a.Initialize(L"Panelcast"), S_OK) << "a fault without :always is used once";
  EXPECT_EQ(a.RegisterDeviceCallback(&Recorder::OnDeviceChange, (void*)"Panelcast"),
            static_cast<HRESULT>(0x80070005));
  EXPECT_EQ(a.RegisterDeviceCallback(&Recorder::OnDeviceChange, (void*)"Panelcast"), S_OK);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(a.Enumerate(&Recorder::OnEnumerate, nullptr), static_cast<HRESULT>(0x8007000E));
  }
  EXPECT_TRUE(Recorder::Get().Take().empty()) << "a failed enumeration reports nobody";

  emu::PanelControl control(kPipe);
  ASSERT_TRUE(control.WaitForServer(10000));
  ASSERT_TRUE(control.ClearFaults());
  ASSERT_EQ(a.Enumerate(&Recorder::OnEnumerate, nullptr), S_OK);
  std::vector<Event> events = Recorder::Get().Take();
  ASSERT_EQ(events.size(), 3u);
  std::vector<emu::PanelInfo> panels = control.Panels();
  ASSERT_EQ(panels.size(), 3u);
  const char* serials[] = {"EMU0001", "EMU0002", "EMU0003"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(panels[i].serial, serials[i]);
    EXPECT_EQ(panels[i].type, "fip");
    EXPECT_EQ(panels[i].handle, reinterpret_cast<uintptr_t>(events[i].device));
  }

  GUID type;
  EXPECT_EQ(a.GetDeviceType(events[0].device, &type), S_OK);
  EXPECT_LT(a.GetDeviceType(events[1].device, &type), 0);
  EXPECT_EQ(a.GetDeviceType(events[2].device, &type), S_OK);

  void* device = events[0].device;
  ASSERT_EQ(a.AddPage(device, 1, 0), S_OK);
  EXPECT_EQ(a.SetImage(device, 1, 0, 0, nullptr), directoutput::kPageNotActive);
  EXPECT_EQ(a.SetLed(device, 1, 1, 1), directoutput::kPageNotActive);
  ASSERT_TRUE(control.SwitchPage("EMU0001", 1));
  EXPECT_EQ(a.SetLed(device, 1, 1, 1), S_OK);

  std::vector<emu::CallRecord> log = control.Log();
  ASSERT_GE(log.size(), 7u);
  EXPECT_EQ(log[0].name, "Initialize");
  EXPECT_EQ(log[0].result, static_cast<int32_t>(0x80004005));
  EXPECT_EQ(log[2].name, "RegisterDeviceCallback");
  EXPECT_EQ(log[2].args.find("ctx=\"Panelcast\""), log[2].args.size() - 15) << log[2].args;
  EXPECT_EQ(a.Deinitialize(), S_OK);
}

}  // namespace
