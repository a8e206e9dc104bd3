// CPU time of whole Unix processes, read from Linux's /proc through Wine's Z: drive: this
// program's process (every thread, Wine's own included) and the X server that draws its screen.
// Wine's server opens the files a program names, so Z:\proc\self is the server's, not ours; our
// process is the one whose /proc maps show a file that only we have mapped.
#pragma once

#include <string>

namespace benchrig {

inline constexpr double kMsPerClockTick = 10;  // Linux counts process times in 1/100 s

// A process's /proc folder (e.g. L"Z:\\proc\\1234"), or empty when it is not found.
std::wstring OwnProcessFolder();
// The Xvfb's whose arguments name `display` (":77", the screen number in ":77.0" ignored).
std::wstring XServerFolder(const std::string& display);

// User plus system time of the process so far, in clock ticks; -1 when its stat cannot be read.
long long ProcessCpuTicks(const std::wstring& folder);

}  // namespace benchrig
