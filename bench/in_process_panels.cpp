#include "bench/in_process_panels.h"

#include <sstream>

#include "devices/slot_table.h"
#include "feeds/bitmap_resource.h"
#include "panel_library/direct_output_api.h"
#include "panel_library/direct_output_binding.h"
#include "tests/driver/wait.h"

namespace benchrig {
namespace {

std::unique_ptr<emu::PanelControl> g_panels;   // test thread only
std::unique_ptr<panelcast::SlotTable> g_table;  // published to the feeds
int g_enumerated = 0;                           // Enumerate calls back on the calling thread

void __stdcall OnEnumerated(directoutput::DeviceHandle device, void* /*context*/) {
  if (g_enumerated < panelcast::kMaxDevices) g_table->slots[g_enumerated++].device = device;
}

std::wstring BesideThisProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + name;
}

}  // namespace

bool LoadInProcessPanels(int panelCount, std::string& problem) {
  const std::wstring pipe = L"\\\\.\\pipe\\panelcast-feeds-" + std::to_wstring(GetCurrentProcessId());
  SetEnvironmentVariableW(L"PANELCAST_EMU_PIPE", pipe.c_str());
  SetEnvironmentVariableW(L"PANELCAST_EMU_COUNT", std::to_wstring(panelCount).c_str());
  HMODULE library = LoadLibraryW(BesideThisProgram(L"DirectOutput.dll").c_str());
  if (!library) return problem = "the stand-in DirectOutput.dll does not load", false;
  if (!panelcast::ResolveDirectOutput(library)) return problem = "entry points missing", false;
  const panelcast::DirectOutputApi& api = panelcast::DirectOutput();
  if (api.Initialize(L"Panelcast") < 0) return problem = "Initialize refused", false;

  g_table = std::make_unique<panelcast::SlotTable>();
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  for (panelcast::DeviceSlot& slot : g_table->slots) {
    panelcast::ResetSlotSettings(slot, width, height, L"C:\\");
  }
  if (api.Enumerate(OnEnumerated, const_cast<char*>("Panelcast")) < 0 ||
      g_enumerated != panelCount) {
    return problem = "enumeration gave " + std::to_string(g_enumerated) + " panels", false;
  }
  panelcast::PublishSlots(g_table.get());

  HMODULE program = LoadLibraryExW(BesideThisProgram(L"Panelcast.exe").c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE);
  if (!program) return problem = "bin/Panelcast.exe does not load as data", false;
  panelcast::SetResourceModule(program);

  g_panels = std::make_unique<emu::PanelControl>(pipe);
  if (!g_panels->WaitForServer(10000)) return problem = "the control channel does not answer", false;
  return true;
}

emu::PanelControl& Panels() { return *g_panels; }
panelcast::SlotTable& Table() { return *g_table; }

std::string SerialOfSlot(int slotIndex) {
  char serial[16];
  wsprintfA(serial, "EMU%04d", slotIndex + 1);
  return serial;
}

}  // namespace benchrig
