// Starting a program on another X display than the test's own (the rig's 16-bit screen).
// Under Wine a program that a Windows process starts keeps its parent's X connection whatever
// DISPLAY its environment block says; only a Unix program takes the block as its environment.
// So such a program is started through the Wine loader, as a Unix program, and then found by
// its file name among the processes that were not there before.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

struct StartedProcess {
  HANDLE process = nullptr;  // owned by the caller; nullptr when the start failed
  DWORD id = 0;
  DWORD error = 0;  // ERROR_FILE_NOT_FOUND, CreateProcessW's error, or ERROR_TIMEOUT when the
                    // program did not appear (or ended at once)
};

// `environment` is a CREATE_UNICODE_ENVIRONMENT block holding the wanted DISPLAY.
StartedProcess StartOnOtherDisplay(const std::wstring& exe, const std::wstring& arguments,
                                   std::vector<wchar_t>& environment, const std::wstring& folder,
                                   DWORD timeoutMs);

}  // namespace driver
