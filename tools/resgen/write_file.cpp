#include "tools/resgen/write_file.h"

#include <fstream>
#include <iostream>

namespace resgen {

bool WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (out) return true;
  std::cerr << "cannot write " << path << "\n";
  return false;
}

}  // namespace resgen
