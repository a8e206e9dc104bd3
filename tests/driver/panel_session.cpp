#include "tests/driver/panel_session.h"

#include "tests/driver/controls.h"

namespace driver {

std::unique_ptr<PanelSession> LaunchWithPanels(int count, LaunchOptions options, DWORD timeoutMs) {
  bool named = false;
  for (const auto& [name, value] : options.environment) {
    if (name == L"PANELCAST_EMU_PANELS" || name == L"PANELCAST_EMU_COUNT") named = true;
  }
  if (!named) options.environment.emplace_back(L"PANELCAST_EMU_COUNT", std::to_wstring(count));

  auto session = std::make_unique<PanelSession>();
  session->program = std::make_unique<Program>(std::move(options));
  if (!session->program->Started()) return nullptr;
  session->panels = std::make_unique<emu::PanelControl>(session->program->PipeName());
  if (!session->panels->WaitForServer(timeoutMs)) return nullptr;
  session->mainWindow = WaitForWindow(L"Zivovi Panelcast", session->program->Id(), timeoutMs);
  if (!session->mainWindow) return nullptr;
  return session;
}

}  // namespace driver
