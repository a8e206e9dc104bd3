// The stand-in panel library's contract, which every end-to-end test relies on: what each call
// answers, what it refuses as the real library would, what the program's callbacks hear from the
// panels, and the log line of every call (through the control channel and in the log file).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "emulator/control/log_line.h"
#include "emulator/control/panel_control.h"
#include "panel_library/direct_output_binding.h"
#include "tests/driver/call_sequence.h"
#include "tests/driver/wait.h"

namespace {

using panelcast::DirectOutput;
constexpr char kContext[] = "Zivovi Panelcast";
const std::wstring kPipe =
    L"\\\\.\\pipe\\panelcast-emu-calls-" + std::to_wstring(GetCurrentProcessId());
const DWORD kTestThread = GetCurrentThreadId();

std::string Hex(uint32_t value, const char* format = "0x%08X") {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}
std::string Hex(const void* p) {
  return Hex(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)));
}
std::string Hr(HRESULT hr) { return Hex(static_cast<uint32_t>(hr)); }
std::string Ok(bool ok) { return ok ? "ok" : "refused"; }

// What the callbacks heard, in order, from any thread.
struct Heard {
  void* device;
  std::string what;
  DWORD thread;
  bool ourContext;
};
std::mutex heardMutex;
std::vector<Heard> heard;  // guarded by heardMutex
void Hear(void* device, std::string what, void* context) {
  std::lock_guard<std::mutex> lock(heardMutex);
  heard.push_back({device, std::move(what), GetCurrentThreadId(), context == kContext});
}
void __stdcall OnEnumerate(void* device, void* context) { Hear(device, "enumerated", context); }
void __stdcall OnDeviceChange(void* device, bool added, void* context) {
  Hear(device, added ? "arrived" : "removed", context);
}
void __stdcall OnPage(void* device, DWORD page, bool activated, void* context) {
  Hear(device, "page " + std::to_string(page) + (activated ? " on" : " off"), context);
}
void __stdcall OnButtons(void* device, DWORD buttons, void* context) {
  Hear(device, "buttons " + Hex(buttons, "0x%X"), context);
}

// One step: the library's log lines for it (none for the control channel), what a program or a
// person does, what it answers, and what the program's callbacks hear ("[caller]": on the
// caller's own thread; every other callback comes on a thread of the library).
struct Step {
  std::vector<std::string> logged;
  std::function<std::string()> act;
  std::string result;
  std::vector<std::string> hears = {};
};

class EmulatorContract : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    SetEnvironmentVariableW(L"PANELCAST_EMU_PIPE", kPipe.c_str());
    SetEnvironmentVariableW(L"PANELCAST_EMU_LOG", LogFile().c_str());
    SetEnvironmentVariableW(L"PANELCAST_EMU_PANELS", L"EMU0001,EMU0002,ODD0003:other");
    SetEnvironmentVariableW(L"PANELCAST_EMU_FAULTS", L"Initialize=0x80004005");
    SetEnvironmentVariableW(L"PANELCAST_EMU_TYPE_FAILS", L"EMU0002");
    DeleteFileW(LogFile().c_str());
    const std::wstring exe = [] {
      wchar_t path[MAX_PATH];
      const std::wstring s(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
      return s.substr(0, s.find_last_of(L"\\/") + 1);
    }();
    bound = panelcast::ResolveDirectOutput(LoadLibraryW((exe + L"DirectOutput.dll").c_str()));
  }
  static std::wstring LogFile() {
    wchar_t folder[MAX_PATH];
    const std::wstring dir(folder, GetTempPathW(MAX_PATH, folder));
    return dir + L"panelcast-emu-calls-" + std::to_wstring(GetCurrentProcessId()) + L".log";
  }
  // "SetLed dev=EMU0001 page=1 index=6 value=1 -> 0x00000000".
  static std::string Line(const std::string& name, const std::string& args, int32_t result) {
    return name + (args.empty() ? "" : " " + args) + " -> " + Hr(result);
  }
  // What was heard since the last call, panels named by their serials.
  std::vector<std::string> TakeHeard() {
    for (const emu::PanelInfo& panel : control.Panels()) {
      names[reinterpret_cast<void*>(panel.handle)] = panel.serial;
    }
    std::lock_guard<std::mutex> lock(heardMutex);
    std::vector<std::string> texts;
    for (const Heard& h : heard) {
      if (h.what == "enumerated") devices.push_back(h.device);
      if (h.what == "arrived") arrived.push_back(h.device);
      if (h.thread != kTestThread) libraryThread = h.thread;
      texts.push_back(h.what + " " + names[h.device] +
                      (h.thread == kTestThread ? " [caller]" : "") +
                      (h.ourContext ? "" : " [another context]"));
    }
    heard.clear();
    return texts;
  }
  void* D(int i) const { return devices.at(i); }

  static inline bool bound = false;
  emu::PanelControl control{kPipe};
  std::map<void*, std::string> names;
  std::vector<void*> devices, arrived;
  DWORD libraryThread = 0;
};

TEST_F(EmulatorContract, CallsAnswerRefuseTellAndLogAsTheLibraryWould) {
  ASSERT_TRUE(bound) << "DirectOutput.dll does not load or lacks an entry point";
  ASSERT_TRUE(control.WaitForServer(10000));
  const panelcast::DirectOutputApi& a = DirectOutput();
  void* const bogus = reinterpret_cast<void*>(0x1234);
  void* const ctx = const_cast<char*>(kContext);
  const std::string kOk = Hr(S_OK), kHandle = Hr(directoutput::kHandleInvalid),
                    kArg = Hr(directoutput::kInvalidArg), kFail = Hr(E_FAIL),
                    kFault = Hr(0x80004005), kSmall = Hr(directoutput::kBufferTooSmall),
                    kInactive = Hr(directoutput::kPageNotActive);
  const std::string cb = " ctx=\"Zivovi Panelcast\"";
  const auto type = [&](void* device, GUID* guid) {
    const HRESULT hr = a.GetDeviceType(device, guid);
    if (hr != S_OK) return Hr(hr);
    return IsEqualGUID(*guid, directoutput::kFipDeviceType) ? std::string("the panel's type")
                                                            : std::string("another type");
  };
  GUID guid;
  std::vector<uint8_t> frame(emu::kFrameBytes);
  for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i * 7);
  const auto lights = [&](int page) {
    std::string on;
    const std::optional<emu::PanelInfo> panel = control.Panel("EMU0001");
    for (bool led : panel->pages.at(page - 1).leds) on += led ? '1' : '0';
    return on;
  };
  // Steps for the calls made most, their log lines written from their arguments: panels by
  // index (-1 a bogus handle, -2 null).
  const auto dev = [&](int d) { return d >= 0 ? D(d) : d == -1 ? bogus : nullptr; };
  const auto named = [](int d) {
    const char* const serials[] = {"EMU0001", "EMU0002", "ODD0003"};
    return " dev=" + std::string(d >= 0 ? serials[d] : d == -1 ? "0x00001234" : "null");
  };
  const auto page = [&](int d, DWORD number, DWORD flags, std::string result) -> Step {
    return {{"AddPage" + named(d) + " page=" + std::to_string(number) +
             " flags=" + std::to_string(flags)},
            [=, &a] { return Hr(a.AddPage(dev(d), number, flags)); },
            result};
  };
  const auto led = [&](int d, DWORD number, DWORD index, DWORD value, std::string result) -> Step {
    return {{"SetLed" + named(d) + " page=" + std::to_string(number) +
             " index=" + std::to_string(index) + " value=" + std::to_string(value)},
            [=, &a] { return Hr(a.SetLed(dev(d), number, index, value)); },
            result};
  };
  const auto image = [&](DWORD number, DWORD index, DWORD length, bool data, std::string result) {
    return Step{{"SetImage" + named(0) + " page=" + std::to_string(number) +
                 " index=" + std::to_string(index) + " len=" + std::to_string(length)},
                [=, this, &a, &frame] {
                  return Hr(a.SetImage(D(0), number, index, length, data ? frame.data() : nullptr));
                },
                result};
  };
  const auto typeOf = [&](int d, std::string result, bool noGuid = false) -> Step {
    return {{"GetDeviceType" + named(d)},
            [=, &guid] { return type(dev(d), noGuid ? nullptr : &guid); },
            result};
  };
  // A command of the control channel: "ok" or "refused", and what the program hears from it.
  const auto ctl = [](std::function<bool()> command, std::string result,
                      std::vector<std::string> hears = {}) {
    return Step{{}, [command] { return Ok(command()); }, result, hears};
  };
  const auto press = [&](const char* serial, uint32_t buttons) {
    return [=, this] { return control.Press(serial, buttons); };
  };
  const auto release = [&](const char* serial, uint32_t buttons) {
    return [=, this] { return control.Release(serial, buttons); };
  };
  const auto click = [&](const char* serial, uint32_t buttons) {
    return [=, this] { return control.Click(serial, buttons); };
  };
  const auto turn = [&](uint32_t bit) {
    return [=, this] { return control.Step("EMU0001", bit); };
  };
  const auto show = [&](int number) {
    return [=, this] { return control.SwitchPage("EMU0001", number); };
  };
  const auto init = [&](std::string result) {
    return Step{
        {"Initialize app=\"Panelcast\""}, [&] { return Hr(a.Initialize(L"Panelcast")); }, result};
  };
  // clang-format off
  const Step steps[] = {
      // Start-up, with a fault from the environment that hits the very first call once.
      init(kFault), init(kOk),
      {{"RegisterDeviceCallback cb=" + Hex((void*)&OnDeviceChange) + cb},
       [&] { return Hr(a.RegisterDeviceCallback(&OnDeviceChange, ctx)); }, kOk},
      {{"Enumerate cb=" + Hex((void*)&OnEnumerate) + cb},
       [&] { return Hr(a.Enumerate(&OnEnumerate, ctx)); }, kOk,
       {"enumerated EMU0001 [caller]", "enumerated EMU0002 [caller]",
        "enumerated ODD0003 [caller]"}},
      {{"Enumerate cb=null ctx=null"}, [&] { return Hr(a.Enumerate(nullptr, nullptr)); }, kArg},
      typeOf(0, "the panel's type"), typeOf(1, kFail), typeOf(2, "another type"),
      typeOf(-1, kHandle), typeOf(-2, kHandle), typeOf(0, kArg, true),
      // Pages, lights and pictures of one panel.
      {{"RegisterPageCallback dev=EMU0001 cb=" + Hex((void*)&OnPage) + cb},
       [&] { return Hr(a.RegisterPageCallback(D(0), &OnPage, ctx)); }, kOk},
      {{"RegisterSoftButtonCallback dev=EMU0001 cb=" + Hex((void*)&OnButtons) + cb},
       [&] { return Hr(a.RegisterSoftButtonCallback(D(0), &OnButtons, ctx)); }, kOk},
      page(-1, 1, 1, kHandle), page(0, 0, 1, kArg), page(0, 1, 1, kOk),
      page(0, 1, 0, kArg),  // a page that exists already
      page(0, 2, 0, kOk),
      led(0, 1, 0, 1, kArg), led(0, 1, 7, 1, kArg), led(0, 5, 1, 1, kArg),  // page never added
      led(0, 1, 1, 1, kOk), led(0, 1, 6, 1, kOk), led(0, 2, 3, 1, kOk),
      {{}, [&] { return lights(1) + " " + lights(2); }, "100001 001000"},
      image(1, 0, 230399, true, kSmall), image(1, 0, 230401, true, kSmall),
      image(1, 1, 230400, true, kArg), image(1, 0, 230400, false, kArg),
      {{}, [&] { return std::to_string(control.Panel("EMU0001")->pages[0].imageCount); }, "0"},
      image(1, 0, 230400, true, kOk),
      ctl([&] { return control.Image("EMU0001", 1) == frame; }, "ok"),
      ctl([&] { return control.Image("EMU0001", 2).empty(); }, "ok"),
      image(1, 0, 0, false, kOk),  // blanking
      ctl([&] { return control.Panel("EMU0001")->pages[0].blank; }, "ok"),
      {{"StartServer dev=EMU0001 len=0 file=null id=null status=null"},
       [&] { return Hr(a.StartServer(D(0), 0, nullptr, nullptr, nullptr)); },
       Hr(directoutput::kNotImplemented)},
      // Pages not shown refuse only when asked to.
      ctl([&] { return control.SetInactivePagesRefuse(true); }, "ok"),
      led(0, 2, 1, 1, kInactive), image(2, 0, 0, false, kInactive), led(0, 1, 2, 1, kOk),
      ctl([&] { return control.SetInactivePagesRefuse(false); }, "ok"),
      // Faults injected through the control channel, once or always.
      ctl([&] { return control.Fault("AddPage", 0x80004005, false); }, "ok"),
      page(1, 1, 1, kFault), page(1, 1, 1, kOk),
      ctl([&] { return control.Fault("SetLed", 0x8007001F, true); }, "ok"),
      led(1, 1, 1, 1, Hr(0x8007001F)), led(1, 1, 1, 1, Hr(0x8007001F)),
      ctl([&] { return control.ClearFaults(); }, "ok"), led(1, 1, 1, 1, kOk),
      ctl([&] { return control.Fault("NoSuchCall", 0x80004005, true); }, "refused"),
      // A slow SetImage stalls only its caller: the channel and the other panels answer meanwhile.
      {{"SetImage dev=EMU0001 page=1 index=0 len=230400",
        "SetLed dev=EMU0002 page=1 index=2 value=1"},
       [&] {
         control.SetImageDelay(1500);
         std::atomic<bool> done{false};
         std::thread slow([&] { done = a.SetImage(D(0), 1, 0, 230400, frame.data()) == S_OK; });
         const bool meanwhile =
             driver::WaitUntil([&] { return control.Panel("EMU0001")->sendsUnderWay; }, 5000) &&
             a.SetLed(D(1), 1, 2, 1) == S_OK && control.Panels().size() == 3 && !done;
         slow.join();
         control.SetImageDelay(0);
         return Ok(meanwhile && done);
       }, "ok"},
      // Buttons: the whole held mask, on the library's thread; encoders are stepped, not held.
      ctl(press("EMU0001", 0x20), "ok", {"buttons 0x20 EMU0001"}),
      ctl(press("EMU0001", 0x80), "ok", {"buttons 0xA0 EMU0001"}),
      ctl(release("EMU0001", 0x20), "ok", {"buttons 0x80 EMU0001"}),
      ctl(release("EMU0001", 0x80), "ok", {"buttons 0x0 EMU0001"}),
      ctl(click("EMU0001", 0x400), "ok", {"buttons 0x400 EMU0001", "buttons 0x0 EMU0001"}),
      ctl(turn(0x08), "ok", {"buttons 0x8 EMU0001", "buttons 0x0 EMU0001"}),
      ctl([&] { return control.SendButtons("EMU0001", 0x28); }, "ok", {"buttons 0x28 EMU0001"}),
      ctl(press("EMU0001", 0x08), "refused"), ctl(turn(0x20), "refused"),
      ctl(press("NOSUCH", 0x20), "refused"),
      // Page switches; on another program's page the buttons are not ours.
      ctl(show(2), "ok", {"page 1 off EMU0001", "page 2 on EMU0001"}),
      ctl(show(0), "ok", {"page 2 off EMU0001"}), ctl(click("EMU0001", 0x20), "ok"),
      ctl(show(3), "refused"), ctl(show(1), "ok", {"page 1 on EMU0001"}),
      // Panels coming and going; a handle is never given out twice.
      ctl([&] { return control.AddPanel("HOT0001"); }, "ok", {"arrived HOT0001"}),
      ctl([&] { return control.AddPanel("HOT0001"); }, "refused"),
      ctl([&] { return control.RemovePanel("HOT0001"); }, "ok", {"removed HOT0001"}),
      ctl([&] { return control.RemovePanel("HOT0001"); }, "refused"),
      {{"GetDeviceType dev={first arrival}"}, [&] { return type(arrived.at(0), &guid); }, kHandle},
      ctl([&] { return control.AddPanel("HOT0001", "other"); }, "ok", {"arrived HOT0001"}),
      ctl([&] { return arrived.size() == 2 && arrived[0] != arrived[1]; }, "ok"),
      // Removing the page shown leaves none of ours shown.
      {{"RemovePage dev=0x00001234 page=1"}, [&] { return Hr(a.RemovePage(bogus, 1)); }, kHandle},
      {{"RemovePage dev=EMU0001 page=1"}, [&] { return Hr(a.RemovePage(D(0), 1)); }, kOk},
      {{"RemovePage dev=EMU0001 page=1"}, [&] { return Hr(a.RemovePage(D(0), 1)); }, kArg},
      ctl([&] { return control.Panel("EMU0001")->activePage == 0; }, "ok"),
      // The end: the library's thread ends, and nothing reaches the program any more.
      {{"Deinitialize"}, [&] { return Hr(a.Deinitialize()); }, kOk},
      ctl([&] {
            HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, libraryThread);
            const bool ended = !thread || WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0;
            if (thread) CloseHandle(thread);
            return ended;
          }, "ok"),
      page(0, 2, 0, kHandle), ctl(click("EMU0002", 0x20), "ok"),
      {{"Deinitialize"}, [&] { return Hr(a.Deinitialize()); }, kHandle},
  };
  // clang-format on
  for (const Step& step : steps) {
    EXPECT_EQ(step.act(), step.result) << "step " << &step - steps;
    EXPECT_EQ(TakeHeard(), step.hears) << "step " << &step - steps;
  }
  std::vector<driver::ExpectedCall> expected;
  for (const Step& step : steps) {
    for (std::string line : step.logged) {
      if (line.ends_with("{first arrival}")) line.replace(line.find('{'), 15, Hex(arrived.at(0)));
      // A step that answers with what it found (a type, "ok") made calls that succeeded.
      expected.push_back(line + " -> " + (step.result.starts_with("0x") ? step.result : kOk));
    }
  }
  std::vector<std::string> channel, file;
  for (const emu::CallRecord& r : control.Log()) channel.push_back(Line(r.name, r.args, r.result));
  std::map<uint32_t, std::string> bySequence;  // the file has them as they were answered
  std::ifstream in(LogFile().c_str());
  for (std::string text; std::getline(in, text);) {
    const auto line = emu::ParseLogLine(text);
    if (line) bySequence[line->sequence] = Line(line->name, line->args, line->result);
    if (!line) file.push_back("unreadable: " + text);
  }
  for (const auto& [sequence, line] : bySequence) file.push_back(line);
  EXPECT_TRUE(driver::CallsMatch(channel, expected));
  EXPECT_EQ(file, channel) << "the log file holds the calls the channel tells";
}

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

TEST_F(EmulatorContract, EveryEntryPointKeepsTheStdcallStackBalance) {
  ASSERT_TRUE(bound);
  const panelcast::DirectOutputApi& a = DirectOutput();
  void* const bogus = reinterpret_cast<void*>(0x1234);
  const wchar_t* const noText = nullptr;
  void* const none = nullptr;
  const DWORD z = 0;
  GUID guid;
  DWORD id = 0;
  const bool balanced[] = {
      KeepsStack(a.Initialize, L"Panelcast"),
      KeepsStack(a.RegisterDeviceCallback, &OnDeviceChange, none),
      KeepsStack(a.Enumerate, &OnEnumerate, none),
      KeepsStack(a.RegisterPageCallback, bogus, nullptr, none),
      KeepsStack(a.RegisterSoftButtonCallback, bogus, nullptr, none),
      KeepsStack(a.GetDeviceType, bogus, &guid),
      KeepsStack(a.GetDeviceInstance, bogus, &guid),
      KeepsStack(a.SetProfile, bogus, z, noText),
      KeepsStack(a.AddPage, bogus, DWORD{1}, z),
      KeepsStack(a.RemovePage, bogus, DWORD{1}),
      KeepsStack(a.SetLed, bogus, DWORD{1}, DWORD{1}, DWORD{1}),
      KeepsStack(a.SetString, bogus, DWORD{1}, z, z, noText),
      KeepsStack(a.SetImage, bogus, DWORD{1}, z, z, static_cast<const void*>(nullptr)),
      KeepsStack(a.SetImageFromFile, bogus, DWORD{1}, z, z, noText),
      KeepsStack(a.StartServer, bogus, z, noText, &id, none),
      KeepsStack(a.CloseServer, bogus, z, none),
      KeepsStack(a.SendServerMsg, bogus, z, z, z, z, static_cast<const void*>(nullptr), z, none,
                 none),
      KeepsStack(a.SendServerFile, bogus, z, z, z, z, static_cast<const void*>(nullptr), z, noText,
                 z, none, none),
      KeepsStack(a.SaveFile, bogus, z, z, z, noText, none),
      KeepsStack(a.DisplayFile, bogus, z, z, z, none),
      KeepsStack(a.DeleteFile, bogus, z, z, none),
      KeepsStack(a.Deinitialize),
  };
  for (std::size_t i = 0; i < std::size(balanced); ++i) EXPECT_TRUE(balanced[i]) << "entry " << i;
  TakeHeard();
}
#endif  // __i386__

}  // namespace
