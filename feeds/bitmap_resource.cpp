#include "feeds/bitmap_resource.h"

#include <atomic>

namespace panelcast {
namespace {

constexpr DWORD kHeaderBytes = 40;
constexpr DWORD kOverheadBytes = 42;  // header and the two bytes that trail the pixels

std::atomic<HMODULE> g_resourceModule{nullptr};  // set before workers start; read by workers

}  // namespace

FrameBitmap LoadFrameBitmap(HMODULE module, int id) {
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
  if (!info) return {};
  HGLOBAL loaded = LoadResource(module, info);
  if (!loaded) return {};
  const auto* bytes = static_cast<const uint8_t*>(LockResource(loaded));
  const DWORD size = SizeofResource(module, info);
  // A resource no longer than its header has no pixels; taking size - 42 of it would wrap.
  if (!bytes || size <= kOverheadBytes) return {};
  return {bytes + kHeaderBytes, size - kOverheadBytes};
}

HMODULE ResourceModule() {
  HMODULE module = g_resourceModule.load();
  return module ? module : GetModuleHandleW(nullptr);
}

void SetResourceModule(HMODULE module) { g_resourceModule = module; }

}  // namespace panelcast
