// The stand-in panel library as the program's tests rely on it: what each call answers and logs,
// what it refuses as the real library would, on which thread and for which panel the program's
// callbacks come, and (32-bit) the __stdcall stack discipline of every entry point.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <mutex>
#include <sstream>

#include "emulator/control/panel_control.h"
#include "panel_library/direct_output_binding.h"
#include "tests/driver/call_sequence.h"

namespace {

constexpr char kContext[] = "Zivovi Panelcast";
const std::wstring kPipe =
    L"\\\\.\\pipe\\panelcast-emu-calls-" + std::to_wstring(GetCurrentProcessId());
const DWORD kTestThread = GetCurrentThreadId();

std::string Hex(uint32_t value, const char* format = "0x%08X") {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}
std::string Address(const void* p) {
  return Hex(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)));
}

// What the callbacks heard, in order, from any thread: "[caller]" on the test's own thread.
std::mutex heardMutex;
std::vector<std::pair<void*, std::string>> heard;  // guarded by heardMutex
void Hear(void* device, const std::string& what, void* context) {
  std::lock_guard<std::mutex> lock(heardMutex);
  heard.emplace_back(device, what + (context == kContext ? "" : " [another context]") +
                                 (GetCurrentThreadId() == kTestThread ? " [caller]" : ""));
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

// The stand-in bound as the program binds it, with its start-up settings in the environment.
bool Bound() {
  static const bool bound = [] {
    SetEnvironmentVariableW(L"PANELCAST_EMU_PIPE", kPipe.c_str());
    SetEnvironmentVariableW(L"PANELCAST_EMU_PANELS", L"EMU0001,EMU0002");
    wchar_t path[MAX_PATH];
    std::wstring dll(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"DirectOutput.dll";
    return panelcast::ResolveDirectOutput(LoadLibraryW(dll.c_str()));
  }();
  return bound;
}
void* const kBogus = reinterpret_cast<void*>(0x1234);

// Each row a call as the library logs it or a command of the control channel (in capitals),
// what it answers (a command "ok" or "refused"), and what the program's callbacks hear.
TEST(EmulatorContract, CallsAnswerRefuseTellAndLogAsTheLibraryWould) {
  ASSERT_TRUE(Bound()) << "DirectOutput.dll does not load or lacks an entry point";
  emu::PanelControl control{kPipe};
  ASSERT_TRUE(control.WaitForServer(10000));
  std::map<void*, std::string> names;
  std::vector<void*> arrived;  // "gone": the first, which left
  // What was heard since the last call, each "<serial> <what>".
  const auto takeHeard = [&] {
    for (const emu::PanelInfo& panel : control.Panels()) {
      names[reinterpret_cast<void*>(panel.handle)] = panel.serial;
    }
    std::lock_guard<std::mutex> lock(heardMutex);
    std::vector<std::string> texts;
    for (const auto& [device, what] : heard) {
      if (what.starts_with("arrived")) arrived.push_back(device);
      texts.push_back(names[device] + " " + what);
    }
    heard.clear();
    return texts;
  };
  // Makes the call a log line names ("(null)" at its end: a null buffer) and answers its result,
  // or the type GetDeviceType read.
  const panelcast::DirectOutputApi& a = panelcast::DirectOutput();
  std::vector<uint8_t> frame(emu::kFrameBytes, 7);
  const auto call = [&](const std::string& line) {
    std::istringstream words(line);
    std::string name, word;
    std::map<std::string, std::string> arg;
    for (words >> name; words >> word;) {
      arg[word.substr(0, word.find('='))] = word.substr(word.find('=') + 1);
    }
    void* dev = arg["dev"] == "gone" ? arrived.at(0) : kBogus;
    for (const auto& [handle, serial] : names) dev = serial == arg["dev"] ? handle : dev;
    void* const ctx = const_cast<char*>(kContext);
    const auto n = [&](const char* key) { return static_cast<DWORD>(std::stoul(arg[key])); };
    const bool null = arg.count("(null)");
    HRESULT hr = E_UNEXPECTED;
    GUID guid{};
    if (name == "Initialize") hr = a.Initialize(L"Panelcast");
    if (name == "RegisterDeviceCallback") hr = a.RegisterDeviceCallback(&OnDeviceChange, ctx);
    if (name == "Enumerate") hr = a.Enumerate(&OnEnumerate, ctx);
    if (name == "GetDeviceType") hr = a.GetDeviceType(dev, null ? nullptr : &guid);
    if (name == "RegisterPageCallback") hr = a.RegisterPageCallback(dev, &OnPage, ctx);
    if (name == "RegisterSoftButtonCallback") {
      hr = a.RegisterSoftButtonCallback(dev, &OnButtons, ctx);
    }
    if (name == "AddPage") hr = a.AddPage(dev, n("page"), n("flags"));
    if (name == "SetLed") hr = a.SetLed(dev, n("page"), n("index"), n("value"));
    if (name == "SetImage") {
      hr = a.SetImage(dev, n("page"), n("index"), n("len"), null ? nullptr : frame.data());
    }
    if (name == "Deinitialize") hr = a.Deinitialize();
    if (name == "GetDeviceType" && hr == S_OK) {
      return std::string(IsEqualGUID(guid, directoutput::kFipDeviceType) ? "panel" : "other");
    }
    return Hex(static_cast<uint32_t>(hr));
  };
  namespace d = directoutput;
  const std::string kOk = Hex(S_OK), kHandle = Hex(d::kHandleInvalid), kArg = Hex(d::kInvalidArg),
                    kSmall = Hex(d::kBufferTooSmall), kInactive = Hex(d::kPageNotActive);
  const std::string ctx = " ctx=\"Zivovi Panelcast\"", led = "SetLed dev=EMU0001 page=",
                    image = "SetImage dev=EMU0001 page=";
  const struct {
    std::string step, result;
    std::vector<std::string> hears = {};
  } steps[] = {
      {"Initialize app=\"Panelcast\"", kOk},
      {"RegisterDeviceCallback cb=" + Address((void*)&OnDeviceChange) + ctx, kOk},
      {"Enumerate cb=" + Address((void*)&OnEnumerate) + ctx, kOk,
       {"EMU0001 enumerated [caller]", "EMU0002 enumerated [caller]"}},
      {"GetDeviceType dev=EMU0001", "panel"}, {"GetDeviceType dev=0x00001234", kHandle},
      {"GetDeviceType dev=EMU0001 (null)", kArg},
      {"RegisterPageCallback dev=EMU0001 cb=" + Address((void*)&OnPage) + ctx, kOk},
      {"RegisterSoftButtonCallback dev=EMU0001 cb=" + Address((void*)&OnButtons) + ctx, kOk},
      // Pages from 1, each once; lights 1 to 6 of a page that exists; whole frames at index 0.
      {"AddPage dev=0x00001234 page=1 flags=1", kHandle},
      {"AddPage dev=EMU0001 page=0 flags=1", kArg}, {"AddPage dev=EMU0001 page=1 flags=1", kOk},
      {"AddPage dev=EMU0001 page=1 flags=0", kArg}, {"AddPage dev=EMU0001 page=2 flags=0", kOk},
      {led + "1 index=0 value=1", kArg}, {led + "1 index=7 value=1", kArg},
      {led + "5 index=1 value=1", kArg}, {led + "1 index=6 value=1", kOk},
      {image + "1 index=0 len=230399", kSmall}, {image + "1 index=0 len=230401", kSmall},
      {image + "1 index=1 len=230400", kArg}, {image + "1 index=0 len=230400 (null)", kArg},
      {image + "1 index=0 len=230400", kOk}, {image + "1 index=0 len=0 (null)", kOk},  // blank
      // Pages not shown refuse only when asked to.
      {"REFUSE 1", "ok"}, {led + "2 index=1 value=1", kInactive},
      {image + "2 index=0 len=0 (null)", kInactive},
      {led + "1 index=2 value=1", kOk}, {"REFUSE 0", "ok"},
      // The whole held mask, on the library's thread.
      {"PRESS EMU0001 0x20", "ok", {"EMU0001 buttons 0x20"}},
      {"PRESS EMU0001 0x80", "ok", {"EMU0001 buttons 0xA0"}},
      {"RELEASE EMU0001 0xA0", "ok", {"EMU0001 buttons 0x0"}},
      // Page switches; on another program's page the buttons are not ours.
      {"PAGE EMU0001 2", "ok", {"EMU0001 page 1 off", "EMU0001 page 2 on"}},
      {"PAGE EMU0001 0", "ok", {"EMU0001 page 2 off"}}, {"PRESS EMU0001 0x20", "ok"},
      {"RELEASE EMU0001 0x20", "ok"}, {"PAGE EMU0001 1", "ok", {"EMU0001 page 1 on"}},
      // A panel that leaves takes its handle with it; one that comes gets a new one.
      {"ADD HOT0001", "ok", {"HOT0001 arrived"}}, {"REMOVE HOT0001", "ok", {"HOT0001 removed"}},
      {"GetDeviceType dev=gone", kHandle}, {"ADD HOT0001", "ok", {"HOT0001 arrived"}},
      // After the end nothing reaches the program, and the handles are gone.
      {"Deinitialize", kOk}, {"AddPage dev=EMU0001 page=2 flags=0", kHandle},
      {"PRESS EMU0001 0x20", "ok"}, {"Deinitialize", kHandle},
  };
  std::vector<std::string> expected;
  for (const auto& row : steps) {
    if (std::isupper(static_cast<unsigned char>(row.step[1]))) {
      EXPECT_EQ(control.Send(row.step) ? "ok" : "refused", row.result) << row.step;
    } else {
      EXPECT_EQ(call(row.step), row.result) << row.step;
      // A call that answered what it found succeeded.
      expected.push_back(row.step.substr(0, row.step.find(" (null)")) + " -> " +
                         (row.result.starts_with("0x") ? row.result : kOk));
    }
    EXPECT_EQ(takeHeard(), row.hears) << row.step;
  }
  EXPECT_TRUE(arrived.size() == 2 && arrived[0] != arrived[1]) << "a handle given out twice";
  std::vector<std::string> logged;
  for (const emu::CallRecord& r : control.Log()) {
    const std::string args = r.args == "dev=" + Address(arrived[0]) ? "dev=gone" : r.args;
    logged.push_back(r.name + (args.empty() ? "" : " " + args) + " -> " + Hex(r.result));
  }
  EXPECT_TRUE(driver::CallsMatch(logged, expected));
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

TEST(EmulatorContract, EveryEntryPointKeepsTheStdcallStackBalance) {
  ASSERT_TRUE(Bound());
  const panelcast::DirectOutputApi& a = panelcast::DirectOutput();
  void* const h = kBogus;  // each call refuses it
  GUID guid;
  DWORD id = 0;
  const bool balanced[] = {
      KeepsStack(a.Initialize, L"Panelcast"), KeepsStack(a.RegisterDeviceCallback, nullptr, h),
      KeepsStack(a.Enumerate, nullptr, h), KeepsStack(a.RegisterPageCallback, h, nullptr, h),
      KeepsStack(a.RegisterSoftButtonCallback, h, nullptr, h),
      KeepsStack(a.GetDeviceType, h, &guid), KeepsStack(a.GetDeviceInstance, h, &guid),
      KeepsStack(a.SetProfile, h, 0, nullptr), KeepsStack(a.AddPage, h, 1, 0),
      KeepsStack(a.RemovePage, h, 1), KeepsStack(a.SetLed, h, 1, 1, 1),
      KeepsStack(a.SetString, h, 1, 0, 0, nullptr), KeepsStack(a.SetImage, h, 1, 0, 0, nullptr),
      KeepsStack(a.SetImageFromFile, h, 1, 0, 0, nullptr),
      KeepsStack(a.StartServer, h, 0, nullptr, &id, h), KeepsStack(a.CloseServer, h, 0, h),
      KeepsStack(a.SendServerMsg, h, 0, 0, 0, 0, nullptr, 0, h, h),
      KeepsStack(a.SendServerFile, h, 0, 0, 0, 0, nullptr, 0, nullptr, 0, h, h),
      KeepsStack(a.SaveFile, h, 0, 0, 0, nullptr, h), KeepsStack(a.DisplayFile, h, 0, 0, 0, h),
      KeepsStack(a.DeleteFile, h, 0, 0, h), KeepsStack(a.Deinitialize),
  };
  for (std::size_t i = 0; i < std::size(balanced); ++i) EXPECT_TRUE(balanced[i]) << "entry " << i;
}
#endif  // __i386__

}  // namespace
