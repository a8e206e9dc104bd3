// One entry point call as it is logged: started when the program calls in (sequence, tick,
// thread), described by its arguments, finished with the answer. Helpers turn the program's
// arguments (handles, 8-bit context strings, wide texts) into log text without trusting them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace emu {

class CallRecorder {
 public:
  CallRecorder(const char* name, const void* device);  // device: nullptr for calls without one
  CallRecorder(const char* name);

  CallRecorder& Number(const char* key, uint32_t value);
  CallRecorder& Pointer(const char* key, const void* value);
  CallRecorder& Narrow(const char* key, const void* text);    // 8-bit context text, or null
  CallRecorder& Wide(const char* key, const wchar_t* text);

  // The answer an injected fault or an uninitialised library imposes, if any.
  std::optional<HRESULT> Forced(bool needsInitialize = true);
  HRESULT Answer(HRESULT result);

 private:
  void Add(const char* key, const std::string& value);

  uint32_t sequence_;
  uint32_t tick_;
  std::string name_;
  std::string serial_;  // the panel the call names, empty when none
  std::string args_;
};

}  // namespace emu
