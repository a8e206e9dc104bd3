// Writing a generated file whole, for the generators' main programs.
#pragma once

#include <filesystem>

#include "tools/resgen/byte_writer.h"

namespace resgen {

// Writes `bytes` to `path`, replacing it; false, after a line on stderr, when that fails.
bool WriteFile(const std::filesystem::path& path, const Bytes& bytes);

}  // namespace resgen
