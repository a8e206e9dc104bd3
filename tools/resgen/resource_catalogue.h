// Every picture the program carries as a resource, with the file the build writes for it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/resgen/bmp_file.h"
#include "tools/resgen/canvas.h"
#include "tools/resgen/frame_bitmaps.h"

namespace resgen {

struct BitmapResource {
  int id;            // the resource id in resources/resource_ids.h
  std::string file;  // file name in the generated folder, as panelcast.rc names it
  Image image;
  BmpLayout layout;
};

// Label texts of the hint overlays, top soft button first.
constexpr HintLabels kGpsPage1Labels = {"Zoom -", "Zoom +", "Menu", "Clr", "Ent", "Push Crsr"};
constexpr HintLabels kGpsPage2Labels = {"Nrst", "Msg", "Fpl", "Terr", "Proc", "Push Crsr"};
constexpr HintLabels kLiveLabels = {"Live", "100 ms", "200 ms", "300 ms", "400 ms", "500 ms"};
constexpr HintLabels kJpgLabels = {"Jpg 1", "Jpg 2", "Jpg 3", "Jpg 4", "Jpg 5", "Jpg 6"};
constexpr HintLabels kBmpLabels = {"Bmp 1", "Bmp 2", "Bmp 3", "Bmp 4", "Bmp 5", "Bmp 6"};

// `version` as the splash pictures show it after the program's name, e.g. "1.00".
std::vector<BitmapResource> MakeBitmapResources(std::string_view version);

constexpr const char* kIconFile = "panelcast.ico";

}  // namespace resgen
