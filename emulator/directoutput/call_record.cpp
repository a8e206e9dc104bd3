#include "emulator/directoutput/call_record.h"

#include <cstdio>

#include "emulator/control/log_line.h"
#include "emulator/directoutput/library.h"
#include "emulator/directoutput/result_codes.h"

namespace emu {

namespace {

constexpr std::size_t kMaxLoggedChars = 260;

// How many bytes from `address` on can be read without a fault, up to `wanted`: the program
// may pass any pointer as its context, not only text.
std::size_t ReadableBytes(const void* address, std::size_t wanted) {
  std::size_t readable = 0;
  auto at = reinterpret_cast<uintptr_t>(address);
  while (readable < wanted) {
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(reinterpret_cast<void*>(at + readable), &info, sizeof info) == 0) break;
    const DWORD readableProtection = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY |
                                     PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE |
                                     PAGE_EXECUTE_WRITECOPY;
    if (info.State != MEM_COMMIT || (info.Protect & readableProtection) == 0 ||
        (info.Protect & PAGE_GUARD) != 0) {
      break;
    }
    uintptr_t regionEnd = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
    readable = regionEnd - at;
  }
  return readable < wanted ? readable : wanted;
}

std::string HexPointer(const void* value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(reinterpret_cast<uintptr_t>(value)));
  return text;
}

}  // namespace

CallRecorder::CallRecorder(const char* name)
    : sequence_(Library::Get().NextSequence()), tick_(GetTickCount()), name_(name) {}

CallRecorder::CallRecorder(const char* name, const void* device) : CallRecorder(name) {
  Library& library = Library::Get();
  {
    std::lock_guard<std::mutex> lock(library.mutex);
    if (const BoardPanel* panel = library.board.Find(reinterpret_cast<uintptr_t>(device))) {
      serial_ = panel->serial;
    }
  }
  Add("dev", serial_.empty() ? (device == nullptr ? std::string("null") : HexPointer(device))
                             : serial_);
}

void CallRecorder::Add(const char* key, const std::string& value) {
  if (!args_.empty()) args_ += ' ';
  args_ += key;
  args_ += '=';
  args_ += value;
}

CallRecorder& CallRecorder::Number(const char* key, uint32_t value) {
  Add(key, std::to_string(value));
  return *this;
}

CallRecorder& CallRecorder::Pointer(const char* key, const void* value) {
  Add(key, value == nullptr ? std::string("null") : HexPointer(value));
  return *this;
}

CallRecorder& CallRecorder::Narrow(const char* key, const void* text) {
  if (text == nullptr) {
    Add(key, "null");
    return *this;
  }
  std::size_t readable = ReadableBytes(text, kMaxLoggedChars);
  const char* chars = static_cast<const char*>(text);
  std::size_t length = 0;
  while (length < readable && chars[length] != '\0') ++length;
  Add(key, QuoteText(std::string_view(chars, length)));
  return *this;
}

CallRecorder& CallRecorder::Wide(const char* key, const wchar_t* text) {
  if (text == nullptr) {
    Add(key, "null");
    return *this;
  }
  std::size_t readable = ReadableBytes(text, kMaxLoggedChars * sizeof(wchar_t)) / sizeof(wchar_t);
  std::size_t length = 0;
  while (length < readable && text[length] != L'\0') ++length;
  std::string utf8;
  if (length > 0) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                   nullptr, nullptr);
    utf8.resize(size > 0 ? size : 0);
    if (size > 0) {
      WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8.data(), size, nullptr,
                          nullptr);
    }
  }
  Add(key, QuoteText(utf8));
  return *this;
}

std::optional<HRESULT> CallRecorder::Forced(bool needsInitialize) {
  Library& library = Library::Get();
  {
    std::lock_guard<std::mutex> lock(library.mutex);
    if (!library.faults.TakeCrash(name_)) {
      if (std::optional<int32_t> fault = library.faults.Take(name_)) return *fault;
      if (needsInitialize && !library.initialized) return codes::kHandle;
      return std::nullopt;
    }
  }
  // Outside the lock, so the library stays usable to whoever handles the fault.
  RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr);
  return std::nullopt;
}

HRESULT CallRecorder::Answer(HRESULT result) {
  LogLine line;
  line.sequence = sequence_;
  line.tick = tick_;
  line.thread = GetCurrentThreadId();
  line.name = name_;
  line.result = result;
  line.args = args_;
  Library::Get().Record(line, serial_);
  return result;
}

}  // namespace emu
