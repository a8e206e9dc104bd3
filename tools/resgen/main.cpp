// resgen OUTPUT_DIR VERSION: writes the program's bitmaps and icon into OUTPUT_DIR, and a PNG copy
// of each picture into OUTPUT_DIR/png for people to look at; the splash pictures show VERSION
// ("1.00"). Same bytes on every run.
#include <filesystem>
#include <iostream>

#include "tools/resgen/ico_file.h"
#include "tools/resgen/png_file.h"
#include "tools/resgen/program_pictures.h"
#include "tools/resgen/resource_catalogue.h"
#include "tools/resgen/write_file.h"

using resgen::WriteFile;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: resgen OUTPUT_DIR VERSION\n";
    return 2;
  }
  const std::filesystem::path dir = argv[1], pngDir = dir / "png";
  std::filesystem::create_directories(pngDir);
  bool ok = true;
  for (const resgen::BitmapResource& r : resgen::MakeBitmapResources(argv[2])) {
    ok = WriteFile(dir / r.file, resgen::EncodeBmpFile(r.image, r.layout)) && ok;
    ok = WriteFile((pngDir / r.file).replace_extension(".png"), resgen::EncodePngFile(r.image)) && ok;
  }
  std::vector<resgen::Image> icons = resgen::MakeIconImages();
  ok = WriteFile(dir / resgen::kIconFile, resgen::EncodeIcoFile(icons)) && ok;
  for (const resgen::Image& icon : icons)
    ok = WriteFile(pngDir / ("icon_" + std::to_string(icon.Width()) + ".png"), resgen::EncodePngFile(icon)) && ok;
  return ok ? 0 : 1;
}
