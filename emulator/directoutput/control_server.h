// The control channel: a named pipe served from inside the program's process, one pipe instance
// and one thread per connected client, from the library's load until the process ends.
#pragma once

#include <string>

namespace emu {

// Starts the listening thread; false when it could not be started.
bool StartControlServer(const std::wstring& pipeName);

// Runs one command line and gives the reply status and payload (also used by tests of the
// dispatcher through the pipe).
uint32_t RunControlCommand(const std::string& command, std::string& payload);

}  // namespace emu
