// Appending one line to a log file that another process reads while this one runs: the file is
// opened, written and closed for every line, so each line is on disk when the call returns.
#pragma once

#include <windows.h>

#include <string>

namespace simstandin {

// The path in environment variable `variable`; empty when it is not set.
std::wstring LogPathFrom(const wchar_t* variable);

// "<tick>\t<text>\n" appended to `path`; nothing when the path is empty.
void AppendLogLine(const std::wstring& path, const std::string& text);

}  // namespace simstandin
