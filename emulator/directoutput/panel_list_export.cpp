// The panels as the setupapi stand-in in the same process asks for them, so that the USB devices
// it reports are always the panels this library knows, in its order, hot-plugged ones included.
// Not part of the panel library's interface: the program never looks it up.
#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>

#include "emulator/directoutput/library.h"

namespace {

std::wstring Widen(const std::string& text) {
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(size > 0 ? size : 0, L'\0');
  if (size > 0) {
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  }
  return wide;
}

}  // namespace

// Writes "SERIAL:type,SERIAL:type..." into `buffer` when `capacity` (units) has room for it and its
// terminator; returns the units needed, terminator included.
extern "C" __declspec(dllexport) uint32_t __stdcall PanelcastEmuPanelList(wchar_t* buffer,
                                                                          uint32_t capacity) {
  std::wstring text;
  {
    emu::Library& library = emu::Library::Get();
    std::lock_guard<std::mutex> lock(library.mutex);
    for (const emu::BoardPanel& panel : library.board.Panels()) {
      if (!text.empty()) text += L',';
      text += Widen(panel.serial) + L":" + Widen(panel.type);
    }
  }
  if (buffer && capacity > text.size()) {
    text.copy(buffer, text.size());
    buffer[text.size()] = L'\0';
  }
  return static_cast<uint32_t>(text.size() + 1);
}
