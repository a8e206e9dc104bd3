// The stand-in panel library as the program sees it: loaded by path, every entry point by name,
// driven through its calls and through the control channel, callbacks recorded as they arrive.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <thread>

#include "emulator/control/log_line.h"
#include "emulator/control/panel_control.h"
#include "emulator/control/pipe_io.h"
#include "tests/emulator/emulator_harness.h"

using emutest::Api;
using emutest::Event;
using emutest::Recorder;

namespace {

const std::wstring kPipe = emutest::UniquePipe(L"calls");
const std::wstring kLogFile = emutest::TempFile(L"calls");
constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005);

class LoadedEmulator : public testing::Environment {
 public:
  void SetUp() override {
    emutest::LoadEmulator({{L"PANELCAST_EMU_PIPE", kPipe},
                           {L"PANELCAST_EMU_LOG", kLogFile},
                           {L"PANELCAST_EMU_PANELS", L"EMU0001,EMU0002,ODD0003:other"}});
  }
};
const auto* const g_environment = testing::AddGlobalTestEnvironment(new LoadedEmulator);

void* const kBogus = reinterpret_cast<void*>(0x1234);

std::vector<uint8_t> Pattern(uint8_t seed) {
  std::vector<uint8_t> frame(230400);
  for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i * 7 + seed);
  return frame;
}

// Initialised library with the three panels enumerated; deinitialised after each test.
class Emulator : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(control.WaitForServer(10000));
    ASSERT_EQ(Api().Initialize(L"Panelcast"), S_OK);
    ASSERT_EQ(Api().RegisterDeviceCallback(&Recorder::OnDeviceChange, (void*)"Panelcast"), S_OK);
    ASSERT_EQ(Api().Enumerate(&Recorder::OnEnumerate, (void*)"Panelcast"), S_OK);
    for (const Event& e : Recorder::Get().Take()) devices.push_back(e.device);
    ASSERT_EQ(devices.size(), 3u);
    fip = devices[0];
  }
  void TearDown() override {
    (void)Api().Deinitialize();  // some tests have deinitialised already
    control.ClearFaults();
    control.SetImageDelay(0);
    control.SetInactivePagesRefuse(false);
    Recorder::Get().Take();
  }
  // Page and button handlers on `device`, pages 1 (active) and 2.
  void TakeOver(void* device) {
    ASSERT_EQ(Api().RegisterPageCallback(device, &Recorder::OnPage, (void*)emutest::kContext), S_OK);
    ASSERT_EQ(Api().RegisterSoftButtonCallback(device, &Recorder::OnButtons,
                                               (void*)emutest::kContext), S_OK);
    ASSERT_EQ(Api().AddPage(device, 1, 1), S_OK);
    ASSERT_EQ(Api().AddPage(device, 2, 0), S_OK);
  }

  emu::PanelControl control{kPipe};
  std::vector<void*> devices;
  void* fip = nullptr;
};

#if defined(__i386__)
// Calls through `call` with the stack pointer read before and after: a callee with another
// calling convention leaves it moved.
template <typename Fn, typename... Args>
bool KeepsStack(Fn call, Args... args) {
  uintptr_t before = 0, after = 0;
  asm volatile("mov %%esp, %0" : "=r"(before));
  call(args...);
  asm volatile("mov %%esp, %0" : "=r"(after));
  return before == after;
}

TEST_F(Emulator, EveryEntryPointKeepsTheStdcallStackBalance) {
  const panelcast::DirectOutputApi& a = Api();
  GUID guid;
  DWORD id = 0;
  int unbalanced = 0;
  for (int round = 0; round < 500; ++round) {
    unbalanced += !KeepsStack(a.RegisterPageCallback, kBogus, nullptr, nullptr);
    unbalanced += !KeepsStack(a.RegisterSoftButtonCallback, kBogus, nullptr, nullptr);
    unbalanced += !KeepsStack(a.GetDeviceType, kBogus, &guid);
    unbalanced += !KeepsStack(a.GetDeviceInstance, fip, &guid);
    unbalanced += !KeepsStack(a.SetProfile, fip, DWORD{0}, (const wchar_t*)nullptr);
    unbalanced += !KeepsStack(a.AddPage, kBogus, DWORD{1}, DWORD{0});
    unbalanced += !KeepsStack(a.RemovePage, kBogus, DWORD{1});
    unbalanced += !KeepsStack(a.SetLed, kBogus, DWORD{1}, DWORD{1}, DWORD{1});
    unbalanced += !KeepsStack(a.SetString, kBogus, DWORD{1}, DWORD{0}, DWORD{0}, (const wchar_t*)nullptr);
    unbalanced += !KeepsStack(a.SetImage, kBogus, DWORD{1}, DWORD{0}, DWORD{0}, (const void*)nullptr);
    unbalanced += !KeepsStack(a.SetImageFromFile, kBogus, DWORD{1}, DWORD{0}, DWORD{0}, (const wchar_t*)nullptr);
    unbalanced += !KeepsStack(a.StartServer, kBogus, DWORD{0}, (const wchar_t*)nullptr, &id, (void*)nullptr);
    unbalanced += !KeepsStack(a.CloseServer, kBogus, DWORD{0}, (void*)nullptr);
    unbalanced += !KeepsStack(a.SendServerMsg, kBogus, DWORD{0}, DWORD{0}, DWORD{0}, DWORD{0},
                              (const void*)nullptr, DWORD{0}, (void*)nullptr, (void*)nullptr);
    unbalanced += !KeepsStack(a.SendServerFile, kBogus, DWORD{0}, DWORD{0}, DWORD{0}, DWORD{0},
                              (const void*)nullptr, DWORD{0}, (const wchar_t*)nullptr, DWORD{0},
                              (void*)nullptr, (void*)nullptr);
    unbalanced += !KeepsStack(a.SaveFile, kBogus, DWORD{0}, DWORD{0}, DWORD{0}, (const wchar_t*)nullptr, (void*)nullptr);
    unbalanced += !KeepsStack(a.DisplayFile, kBogus, DWORD{0}, DWORD{0}, DWORD{0}, (void*)nullptr);
    unbalanced += !KeepsStack(a.DeleteFile, kBogus, DWORD{0}, DWORD{0}, (void*)nullptr);
    unbalanced += !KeepsStack(a.Enumerate, &Recorder::OnEnumerate, (void*)nullptr);
    unbalanced += !KeepsStack(a.RegisterDeviceCallback, &Recorder::OnDeviceChange, (void*)nullptr);
  }
  for (int round = 0; round < 100; ++round) {
    unbalanced += !KeepsStack(a.Deinitialize);
    unbalanced += !KeepsStack(a.Initialize, L"Panelcast");
  }
  EXPECT_EQ(unbalanced, 0);
  Recorder::Get().Take();
}
#endif  // __i386__

TEST_F(Emulator, EnumerationReportsEachPanelOnTheCallersThreadWithItsType) {
  void* seen = nullptr;
  ASSERT_EQ(Api().Enumerate(&Recorder::OnEnumerate, &seen), S_OK);
  std::vector<Event> events = Recorder::Get().Take();
  ASSERT_EQ(events.size(), 3u);
  for (std::size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(events[i].thread, GetCurrentThreadId());
    EXPECT_EQ(events[i].context, &seen);
    EXPECT_EQ(events[i].device, devices[i]);
    EXPECT_NE(events[i].device, nullptr);
  }
  std::vector<emu::PanelInfo> panels = control.Panels();
  ASSERT_EQ(panels.size(), 3u);
  const char* serials[] = {"EMU0001", "EMU0002", "ODD0003"};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(panels[i].serial, serials[i]);
    EXPECT_EQ(panels[i].handle, reinterpret_cast<uintptr_t>(devices[i]));
  }
  GUID type;
  ASSERT_EQ(Api().GetDeviceType(devices[0], &type), S_OK);
  EXPECT_TRUE(IsEqualGUID(type, directoutput::kFipDeviceType));
  ASSERT_EQ(Api().GetDeviceType(devices[1], &type), S_OK);
  EXPECT_TRUE(IsEqualGUID(type, directoutput::kFipDeviceType));
  ASSERT_EQ(Api().GetDeviceType(devices[2], &type), S_OK);
  EXPECT_FALSE(IsEqualGUID(type, directoutput::kFipDeviceType));
  EXPECT_EQ(panels[2].type, "other");
}

TEST_F(Emulator, BadHandlesAndBadArgumentsAreRefused) {
  const panelcast::DirectOutputApi& a = Api();
  GUID guid;
  for (void* bad : {kBogus, static_cast<void*>(nullptr)}) {
    EXPECT_EQ(a.GetDeviceType(bad, &guid), directoutput::kHandleInvalid);
    EXPECT_EQ(a.RegisterPageCallback(bad, &Recorder::OnPage, nullptr), directoutput::kHandleInvalid);
    EXPECT_EQ(a.AddPage(bad, 1, 1), directoutput::kHandleInvalid);
    EXPECT_EQ(a.SetLed(bad, 1, 1, 1), directoutput::kHandleInvalid);
    EXPECT_EQ(a.SetImage(bad, 1, 0, 0, nullptr), directoutput::kHandleInvalid);
    EXPECT_EQ(a.RemovePage(bad, 1), directoutput::kHandleInvalid);
  }
  EXPECT_EQ(a.Enumerate(nullptr, nullptr), directoutput::kInvalidArg);
  EXPECT_EQ(a.GetDeviceType(fip, nullptr), directoutput::kInvalidArg);
  EXPECT_EQ(a.AddPage(fip, 0, 1), directoutput::kInvalidArg);
  ASSERT_EQ(a.AddPage(fip, 1, 1), S_OK);
  EXPECT_EQ(a.AddPage(fip, 1, 0), directoutput::kInvalidArg) << "a page that exists already";
  EXPECT_EQ(a.SetLed(fip, 1, 0, 1), directoutput::kInvalidArg);
  EXPECT_EQ(a.SetLed(fip, 1, 7, 1), directoutput::kInvalidArg);
  EXPECT_EQ(a.SetLed(fip, 5, 1, 1), directoutput::kInvalidArg) << "a page never added";
  EXPECT_EQ(a.SetImage(fip, 1, 1, 0, nullptr), directoutput::kInvalidArg);
  EXPECT_EQ(a.SetImage(fip, 1, 0, 230400, nullptr), directoutput::kInvalidArg);
  std::vector<uint8_t> frame = Pattern(3);
  for (DWORD size : {1u, 230399u, 230401u, 320u * 240u * 4u}) {
    EXPECT_EQ(a.SetImage(fip, 1, 0, size, frame.data()), directoutput::kBufferTooSmall) << size;
  }
  EXPECT_EQ(a.RemovePage(fip, 2), directoutput::kInvalidArg);
  EXPECT_EQ(control.Panel("EMU0001")->pages.at(0).imageCount, 0u) << "refused calls change nothing";
  EXPECT_EQ(a.StartServer(fip, 0, nullptr, nullptr, nullptr), directoutput::kNotImplemented);
}

TEST_F(Emulator, PagesLightsAndImagesReadBackThroughTheControlChannel) {
  const panelcast::DirectOutputApi& a = Api();
  ASSERT_EQ(a.AddPage(fip, 1, 1), S_OK);
  ASSERT_EQ(a.AddPage(fip, 2, 0), S_OK);
  ASSERT_EQ(a.SetLed(fip, 1, 1, 1), S_OK);
  ASSERT_EQ(a.SetLed(fip, 1, 6, 1), S_OK);
  ASSERT_EQ(a.SetLed(fip, 2, 3, 1), S_OK);
  std::vector<uint8_t> frame = Pattern(9);
  DWORD before = GetTickCount();
  ASSERT_EQ(a.SetImage(fip, 1, 0, 230400, frame.data()), S_OK);
  DWORD after = GetTickCount();

  std::optional<emu::PanelInfo> panel = control.Panel("EMU0001");
  ASSERT_TRUE(panel);
  EXPECT_EQ(panel->activePage, 1);
  ASSERT_EQ(panel->pages.size(), 2u);
  const emu::PageInfo& one = panel->pages[0];
  const emu::PageInfo& two = panel->pages[1];
  EXPECT_EQ(one.number, 1u);
  EXPECT_EQ(one.flags, 1u);
  EXPECT_TRUE(one.active);
  EXPECT_FALSE(two.active);
  EXPECT_EQ(two.flags, 0u);
  const bool expectedOne[6] = {true, false, false, false, false, true};
  const bool expectedTwo[6] = {false, false, true, false, false, false};
  EXPECT_TRUE(std::equal(one.leds, one.leds + 6, expectedOne));
  EXPECT_TRUE(std::equal(two.leds, two.leds + 6, expectedTwo));
  EXPECT_EQ(one.imageCount, 1u);
  EXPECT_GE(one.lastImageTick, before);
  EXPECT_LE(one.lastImageTick, after);
  EXPECT_FALSE(one.blank);
  EXPECT_TRUE(two.blank);
  EXPECT_EQ(control.Image("EMU0001", 1), frame);
  EXPECT_TRUE(control.Image("EMU0001", 2).empty());

  // Blanking: no bytes and no data.
  ASSERT_EQ(a.SetImage(fip, 1, 0, 0, nullptr), S_OK);
  panel = control.Panel("EMU0001");
  EXPECT_TRUE(panel->pages[0].blank);
  EXPECT_EQ(panel->pages[0].imageCount, 2u);
  EXPECT_TRUE(control.Image("EMU0001", 1).empty());

  // Removing the page shown leaves none of ours shown.
  ASSERT_EQ(a.RemovePage(fip, 1), S_OK);
  panel = control.Panel("EMU0001");
  EXPECT_EQ(panel->activePage, 0);
  ASSERT_EQ(panel->pages.size(), 1u);
  EXPECT_EQ(panel->pages[0].number, 2u);
}

TEST_F(Emulator, ButtonsReportTheWholeHeldMaskOnTheLibrarysThread) {
  TakeOver(fip);
  ASSERT_TRUE(control.Press("EMU0001", 0x20));
  ASSERT_TRUE(control.Release("EMU0001", 0x20));
  ASSERT_TRUE(control.Press("EMU0001", 0x80));
  ASSERT_TRUE(control.Press("EMU0001", 0x100));
  ASSERT_TRUE(control.Release("EMU0001", 0x80));
  ASSERT_TRUE(control.Release("EMU0001", 0x100));
  ASSERT_TRUE(control.Click("EMU0001", 0x400));
  ASSERT_TRUE(control.Step("EMU0001", 0x08));
  ASSERT_TRUE(control.Step("EMU0001", 0x04));
  ASSERT_TRUE(control.SendButtons("EMU0001", 0x28));
  std::vector<Event> events = Recorder::Get().Take();
  std::vector<DWORD> masks;
  for (const Event& e : events) {
    ASSERT_EQ(e.kind, Event::Kind::Buttons);
    EXPECT_EQ(e.device, fip);
    EXPECT_EQ(e.context, (void*)emutest::kContext);
    EXPECT_NE(e.thread, GetCurrentThreadId());
    EXPECT_EQ(e.thread, events.front().thread) << "one library thread, in order";
    masks.push_back(e.buttons);
  }
  std::vector<DWORD> expected = {0x20, 0, 0x80, 0x180, 0x100, 0, 0x400, 0, 0x08, 0, 0x04, 0, 0x28};
  EXPECT_EQ(masks, expected);
  EXPECT_FALSE(control.Press("EMU0001", 0x08)) << "encoders are stepped, not held";
  EXPECT_FALSE(control.Step("EMU0001", 0x20));
  EXPECT_FALSE(control.Press("NOSUCH", 0x20));
}

TEST_F(Emulator, PageSwitchesAreReportedAndAnotherProgramsPageTakesTheButtons) {
  TakeOver(fip);
  ASSERT_TRUE(control.SwitchPage("EMU0001", 2));
  ASSERT_TRUE(control.Click("EMU0001", 0x40));
  ASSERT_TRUE(control.SwitchPage("EMU0001", 0));
  ASSERT_TRUE(control.Click("EMU0001", 0x20));  // goes to the other program, not to us
  EXPECT_EQ(control.Panel("EMU0001")->activePage, -1);
  ASSERT_TRUE(control.SwitchPage("EMU0001", 1));
  EXPECT_FALSE(control.SwitchPage("EMU0001", 3)) << "no such page";
  std::vector<Event> events = Recorder::Get().Take();
  ASSERT_EQ(events.size(), 6u);
  auto isPage = [](const Event& e, DWORD page, bool activated) {
    return e.kind == Event::Kind::Page && e.page == page && e.activated == activated;
  };
  EXPECT_TRUE(isPage(events[0], 1, false));
  EXPECT_TRUE(isPage(events[1], 2, true));
  EXPECT_EQ(events[2].buttons, 0x40u);
  EXPECT_EQ(events[3].buttons, 0u);
  EXPECT_TRUE(isPage(events[4], 2, false));
  EXPECT_TRUE(isPage(events[5], 1, true));
  for (const Event& e : events) EXPECT_NE(e.thread, GetCurrentThreadId());
}

TEST_F(Emulator, ArrivalAndRemovalArriveInOrderAndHandlesAreNeverReused) {
  ASSERT_TRUE(control.AddPanel("HOT0001"));
  EXPECT_FALSE(control.AddPanel("HOT0001")) << "serial already present";
  ASSERT_TRUE(control.RemovePanel("HOT0001"));
  EXPECT_FALSE(control.RemovePanel("HOT0001"));
  ASSERT_TRUE(control.AddPanel("HOT0001", "other"));
  ASSERT_TRUE(control.RemovePanel("HOT0001"));
  std::vector<Event> events = Recorder::Get().Take();
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].kind, Event::Kind::Arrived);
  EXPECT_EQ(events[1].kind, Event::Kind::Removed);
  EXPECT_EQ(events[2].kind, Event::Kind::Arrived);
  EXPECT_EQ(events[3].kind, Event::Kind::Removed);
  EXPECT_EQ(events[0].device, events[1].device);
  EXPECT_NE(events[0].device, events[2].device);
  for (void* old : devices) EXPECT_NE(events[0].device, old);
  for (const Event& e : events) {
    EXPECT_NE(e.thread, GetCurrentThreadId());
    EXPECT_STREQ(static_cast<const char*>(e.context), "Panelcast");
  }
  GUID type;
  EXPECT_EQ(Api().GetDeviceType(events[0].device, &type), directoutput::kHandleInvalid);
}

TEST_F(Emulator, InjectedFaultsAnswerOnceOrAlways) {
  ASSERT_TRUE(control.Fault("AddPage", kFail, false));
  EXPECT_EQ(Api().AddPage(fip, 1, 1), kFail);
  EXPECT_EQ(Api().AddPage(fip, 1, 1), S_OK);
  ASSERT_TRUE(control.Fault("SetLed", static_cast<int32_t>(0x8007001F), true));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Api().SetLed(fip, 1, 1, 1), static_cast<HRESULT>(0x8007001F));
  EXPECT_FALSE(control.Panel("EMU0001")->pages[0].leds[0]) << "a faulted call changes nothing";
  ASSERT_TRUE(control.ClearFaults());
  EXPECT_EQ(Api().SetLed(fip, 1, 1, 1), S_OK);
  EXPECT_FALSE(control.Fault("NoSuchCall", kFail, true));

  ASSERT_TRUE(control.FailDeviceType("EMU0002", true));
  GUID type;
  EXPECT_LT(Api().GetDeviceType(devices[1], &type), 0);
  EXPECT_EQ(Api().GetDeviceType(devices[0], &type), S_OK);
  ASSERT_TRUE(control.FailDeviceType("EMU0002", false));
  EXPECT_EQ(Api().GetDeviceType(devices[1], &type), S_OK);
}

TEST_F(Emulator, SlowSetImageStallsOnlyItsCaller) {
  ASSERT_EQ(Api().AddPage(devices[0], 1, 1), S_OK);
  ASSERT_EQ(Api().AddPage(devices[1], 1, 1), S_OK);
  ASSERT_TRUE(control.SetImageDelay(3000));
  std::atomic<bool> done{false};
  std::atomic<DWORD> slowThread{0};
  std::atomic<DWORD> took{0};
  std::vector<uint8_t> frame = Pattern(1);
  std::thread slow([&] {
    slowThread = GetCurrentThreadId();
    DWORD start = GetTickCount();
    EXPECT_EQ(Api().SetImage(devices[0], 1, 0, 230400, frame.data()), S_OK);
    took = GetTickCount() - start;
    done = true;
  });
  // While it sleeps, the channel and other calls answer at once.
  ASSERT_TRUE(control.ClearLog());
  EXPECT_EQ(control.Panels().size(), 3u);
  EXPECT_EQ(Api().SetLed(devices[1], 1, 2, 1), S_OK);
  EXPECT_EQ(Api().AddPage(devices[1], 2, 0), S_OK);
  EXPECT_FALSE(done) << "the channel or the other panel waited for the slow SetImage";
  slow.join();
  EXPECT_GE(took.load(), 2900u);
  std::vector<emu::CallRecord> log = control.Log("EMU0001");
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].name, "SetImage");
  EXPECT_EQ(log[0].thread, slowThread.load()) << "the delay happens in the calling thread";
}

TEST_F(Emulator, PagesNotShownRefuseOnlyWhenAsked) {
  ASSERT_EQ(Api().AddPage(fip, 1, 1), S_OK);
  ASSERT_EQ(Api().AddPage(fip, 2, 0), S_OK);
  std::vector<uint8_t> frame = Pattern(5);
  EXPECT_EQ(Api().SetImage(fip, 2, 0, 230400, frame.data()), S_OK);
  EXPECT_EQ(Api().SetLed(fip, 2, 1, 1), S_OK);
  ASSERT_TRUE(control.SetInactivePagesRefuse(true));
  EXPECT_EQ(Api().SetImage(fip, 2, 0, 230400, frame.data()), directoutput::kPageNotActive);
  EXPECT_EQ(Api().SetLed(fip, 2, 1, 0), directoutput::kPageNotActive);
  EXPECT_EQ(Api().SetImage(fip, 1, 0, 230400, frame.data()), S_OK);
  EXPECT_EQ(Api().SetLed(fip, 1, 1, 1), S_OK);
  ASSERT_TRUE(control.SwitchPage("EMU0001", 0));
  EXPECT_EQ(Api().SetLed(fip, 1, 1, 1), directoutput::kPageNotActive);
  ASSERT_TRUE(control.SetInactivePagesRefuse(false));
  EXPECT_EQ(Api().SetLed(fip, 1, 1, 1), S_OK);
}

TEST_F(Emulator, EveryCallIsLoggedWithItsArgumentsInTheChannelAndTheFile) {
  ASSERT_TRUE(control.ClearLog());
  ASSERT_EQ(Api().RegisterPageCallback(fip, &Recorder::OnPage, (void*)emutest::kContext), S_OK);
  ASSERT_EQ(Api().AddPage(fip, 1, 1), S_OK);
  ASSERT_EQ(Api().SetLed(fip, 1, 4, 1), S_OK);
  ASSERT_EQ(Api().SetImage(fip, 1, 0, 0, nullptr), S_OK);
  ASSERT_EQ(Api().AddPage(fip, 1, 1), directoutput::kInvalidArg);
  ASSERT_EQ(Api().SetLed(devices[1], 9, 1, 1), directoutput::kInvalidArg);

  std::vector<emu::CallRecord> log = control.Log("EMU0001");
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[0].name, "RegisterPageCallback");
  EXPECT_NE(log[0].args.find("ctx=\"Zivovi Panelcast\""), std::string::npos) << log[0].args;
  EXPECT_EQ(log[1].args, "dev=EMU0001 page=1 flags=1");
  EXPECT_EQ(log[2].args, "dev=EMU0001 page=1 index=4 value=1");
  EXPECT_EQ(log[3].args, "dev=EMU0001 page=1 index=0 len=0");
  EXPECT_EQ(log[4].result, directoutput::kInvalidArg);
  for (std::size_t i = 0; i < log.size(); ++i) {
    EXPECT_EQ(log[i].thread, GetCurrentThreadId());
    if (i > 0) {
      EXPECT_GT(log[i].sequence, log[i - 1].sequence);
    }
  }
  std::vector<emu::CallRecord> all = control.Log();
  ASSERT_EQ(all.size(), 6u);
  EXPECT_EQ(all[5].args, "dev=EMU0002 page=9 index=1 value=1");

  // The file has the same lines, written as the calls happened.
  std::ifstream file(emutest::Narrow(kLogFile));
  ASSERT_TRUE(file.good());
  std::vector<emu::LogLine> lines;
  for (std::string text; std::getline(file, text);) {
    std::optional<emu::LogLine> line = emu::ParseLogLine(text);
    ASSERT_TRUE(line) << "unparsable log line: " << text;
    lines.push_back(*line);
  }
  for (const emu::CallRecord& record : all) {
    auto found = std::find_if(lines.begin(), lines.end(), [&](const emu::LogLine& line) {
      return line.sequence == record.sequence;
    });
    ASSERT_NE(found, lines.end()) << record.name;
    EXPECT_EQ(found->name, record.name);
    EXPECT_EQ(found->args, record.args);
    EXPECT_EQ(found->result, record.result);
  }
  auto initialize = std::find_if(lines.begin(), lines.end(),
                                 [](const emu::LogLine& l) { return l.name == "Initialize"; });
  ASSERT_NE(initialize, lines.end());
  EXPECT_EQ(initialize->args, "app=\"Panelcast\"");
}

// One connection opened without any retry, as a client that does not know the channel's habits
// would: the error of CreateFileW, or a PING answered through it.
DWORD PingOnce(const std::wstring& pipeName) {
  HANDLE pipe = CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (pipe == INVALID_HANDLE_VALUE) return GetLastError();
  const std::string ping = "PING";
  const uint32_t length = static_cast<uint32_t>(ping.size());
  uint32_t reply[2] = {~0u, ~0u};
  bool answered = emu::PipeWrite(pipe, &length, sizeof length, 5000) &&
                  emu::PipeWrite(pipe, ping.data(), length, 5000) &&
                  emu::PipeRead(pipe, reply, sizeof reply, 5000);
  CloseHandle(pipe);
  return answered && reply[0] == emu::kReplyOk && reply[1] == 0 ? ERROR_SUCCESS : ERROR_BAD_PIPE;
}

TEST_F(Emulator, QuickConnectionsInARowAlwaysFindAnInstanceListening) {
  std::vector<DWORD> failures;
  for (int i = 0; i < 400; ++i) {
    DWORD error = PingOnce(kPipe);
    if (error != ERROR_SUCCESS) failures.push_back(error);
  }
  EXPECT_TRUE(failures.empty()) << failures.size() << " of 400 connections failed, first error "
                                << (failures.empty() ? 0 : failures.front());
}

TEST_F(Emulator, ClientsConnectingAtOnceAreAllServed) {
  std::atomic<int> failures{0};
  std::vector<std::thread> clients;
  for (int c = 0; c < 4; ++c) {
    clients.emplace_back([&] {
      for (int i = 0; i < 50; ++i) failures += control.Panels().size() != 3u;
    });
  }
  for (std::thread& client : clients) client.join();
  EXPECT_EQ(failures.load(), 0);
}

// A window on the test's thread that the library's callback sends to, as the program's device
// handler sends to its list box.
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_APP) return 42;
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND g_target = nullptr;            // written before the press, read by the callback
HANDLE g_callbackEntered = nullptr;  // the same
std::atomic<LRESULT> g_sendAnswer{0};

void __stdcall SendingButtons(void*, DWORD, void*) {
  SetEvent(g_callbackEntered);
  g_sendAnswer = SendMessageW(g_target, WM_APP, 0, 0);
}

TEST_F(Emulator, DeinitializeWhileACallbackWaitsForTheCallerEndsWithoutDeadlock) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = CountingProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"EmuTestTarget";
  RegisterClassW(&windowClass);
  g_target = CreateWindowW(L"EmuTestTarget", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           windowClass.hInstance, nullptr);
  ASSERT_NE(g_target, nullptr);
  g_callbackEntered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_EQ(Api().RegisterSoftButtonCallback(fip, &SendingButtons, nullptr), S_OK);
  ASSERT_EQ(Api().AddPage(fip, 1, 1), S_OK);

  std::atomic<bool> pressed{false};
  std::thread person([&] { pressed = control.Press("EMU0001", 0x20); });
  ASSERT_EQ(WaitForSingleObject(g_callbackEntered, 10000), WAIT_OBJECT_0);
  DWORD start = GetTickCount();
  EXPECT_EQ(Api().Deinitialize(), S_OK);
  EXPECT_LT(GetTickCount() - start, 5000u);
  person.join();
  EXPECT_TRUE(pressed);
  EXPECT_EQ(g_sendAnswer.load(), 42);

  // Afterwards calls are refused, the channel stays up, and input reaches nobody.
  EXPECT_EQ(Api().AddPage(fip, 2, 0), directoutput::kHandleInvalid);
  EXPECT_EQ(control.Panels().size(), 3u);
  EXPECT_TRUE(control.Click("EMU0002", 0x20));
  EXPECT_TRUE(control.Release("EMU0001", 0x20));
  DestroyWindow(g_target);
  CloseHandle(g_callbackEntered);
}

TEST_F(Emulator, DeinitializeEndsTheCallbackThread) {
  TakeOver(fip);
  ASSERT_TRUE(control.Click("EMU0001", 0x20));
  std::vector<Event> events = Recorder::Get().Take();
  ASSERT_FALSE(events.empty());
  HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, events[0].thread);
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(Api().Deinitialize(), S_OK);
  EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
  CloseHandle(thread);
  GUID type;
  EXPECT_EQ(Api().GetDeviceType(fip, &type), directoutput::kHandleInvalid);
  EXPECT_EQ(Api().Deinitialize(), directoutput::kHandleInvalid);
}

}  // namespace
