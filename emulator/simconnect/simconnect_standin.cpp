// SimConnect.dll, the client-library stand-in: the four calls the program makes, each passed with
// its arguments to the simulator stand-in (FSX.EXE) as one line of text and answered with what the
// simulator answers; without a simulator window every call fails. Every call is also one line of
// the log named by PANELCAST_SIMCONNECT_LOG, so tests see what the program asked for even when no
// simulator runs.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <type_traits>

#include "emulator/simulator/log_file.h"
#include "emulator/simulator/sim_link.h"
#include "sim/simconnect_abi.h"

#define EXPORT extern "C" __declspec(dllexport)

namespace {

constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005);
constexpr HRESULT kPointer = static_cast<HRESULT>(0x80004003);

std::string Hex(uintptr_t value, int digits) {
  char text[24];
  std::snprintf(text, sizeof(text), "0x%0*lX", digits, static_cast<unsigned long>(value));
  return text;
}

// Texts go between double quotes; a quote inside one would end it early, so it becomes '.
std::string Quoted(const char* text) {
  std::string out = "\"";
  for (const char* p = text ? text : ""; *p; ++p) out += *p == '"' ? '\'' : *p;
  return out + "\"";
}

std::string Number(DWORD value) { return std::to_string(value); }

std::string ConnectionNumber(HANDLE connection) {
  return std::to_string(reinterpret_cast<uintptr_t>(connection));
}

// Sends the call to the simulator; its raw answer, or a failure when none runs or it hangs.
LRESULT Forward(const std::string& line) {
  const HWND simulator = FindWindowW(simstandin::kWindowClass, nullptr);
  if (!simulator) return kFail;
  COPYDATASTRUCT data = {simstandin::kCallData, static_cast<DWORD>(line.size()),
                         const_cast<char*>(line.data())};
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(simulator, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                           SMTO_ABORTIFHUNG, simstandin::kCallTimeoutMs, &answer)) {
    return kFail;
  }
  return static_cast<LRESULT>(answer);
}

HRESULT Logged(const std::string& line, HRESULT result, const std::string& extra = {}) {
  simstandin::AppendLogLine(simstandin::LogPathFrom(simstandin::kLibraryLogVariable),
                            line + "\t" + Hex(static_cast<uint32_t>(result), 8) + extra);
  return result;
}

HRESULT Call(const std::string& line) {
  return Logged(line, static_cast<HRESULT>(Forward(line)));
}

}  // namespace

EXPORT HRESULT __stdcall SimConnect_Open(HANDLE* connection, const char* name, HWND window,
                                         DWORD userMessage, HANDLE eventHandle, DWORD configIndex) {
  const std::string line = "Open name=" + Quoted(name) +
                           " window=" + Hex(reinterpret_cast<uintptr_t>(window), 1) +
                           " message=" + Number(userMessage) +
                           " event=" + Hex(reinterpret_cast<uintptr_t>(eventHandle), 1) +
                           " config=" + Number(configIndex);
  if (!connection) return Logged(line, kPointer);
  *connection = nullptr;
  const LRESULT answer = Forward(line);
  if (answer <= 0) return Logged(line, answer < 0 ? static_cast<HRESULT>(answer) : kFail);
  *connection = reinterpret_cast<HANDLE>(answer);
  return Logged(line, S_OK, " connection=" + ConnectionNumber(*connection));
}

EXPORT HRESULT __stdcall SimConnect_MapClientEventToSimEvent(HANDLE connection, DWORD eventId,
                                                             const char* eventName) {
  return Call("MapClientEventToSimEvent connection=" + ConnectionNumber(connection) +
              " id=" + Number(eventId) + " name=" + Quoted(eventName));
}

EXPORT HRESULT __stdcall SimConnect_TransmitClientEvent(HANDLE connection, DWORD objectId,
                                                        DWORD eventId, DWORD data, DWORD groupId,
                                                        DWORD flags) {
  return Call("TransmitClientEvent connection=" + ConnectionNumber(connection) +
              " object=" + Number(objectId) + " id=" + Number(eventId) + " data=" + Number(data) +
              " group=" + Number(groupId) + " flags=" + Hex(flags, 2));
}

EXPORT HRESULT __stdcall SimConnect_Close(HANDLE connection) {
  return Call("Close connection=" + ConnectionNumber(connection));
}

// The signatures are the ones the program resolves.
static_assert(std::is_same_v<decltype(&SimConnect_Open), simconnect::OpenFn>);
static_assert(std::is_same_v<decltype(&SimConnect_MapClientEventToSimEvent),
                             simconnect::MapClientEventToSimEventFn>);
static_assert(std::is_same_v<decltype(&SimConnect_TransmitClientEvent),
                             simconnect::TransmitClientEventFn>);
static_assert(std::is_same_v<decltype(&SimConnect_Close), simconnect::CloseFn>);
