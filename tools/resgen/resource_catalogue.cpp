#include "tools/resgen/resource_catalogue.h"

#include "tools/resgen/program_pictures.h"

namespace resgen {

std::vector<BitmapResource> MakeBitmapResources(std::string_view version) {
  std::vector<BitmapResource> all;
  all.push_back({226, "hints_gps_page1.bmp", MakeHintBitmap(kGpsPage1Labels), kFrameBmpLayout});
  all.push_back({227, "hints_gps_page2.bmp", MakeHintBitmap(kGpsPage2Labels), kFrameBmpLayout});
  all.push_back({228, "hints_live.bmp", MakeHintBitmap(kLiveLabels), kFrameBmpLayout});
  all.push_back({230, "about_picture.bmp", MakeAboutPicture(), {}});
  all.push_back({231, "banner.bmp", MakeBanner(), {}});
  all.push_back({232, "splash_gps.bmp", MakeSplashBitmap("GPS GAUGE", version), kFrameBmpLayout});
  all.push_back({233, "splash_live.bmp", MakeSplashBitmap("LIVE VIEW", version), kFrameBmpLayout});
  all.push_back({234, "splash_static.bmp", MakeSplashBitmap("STATIC VIEW", version), kFrameBmpLayout});
  all.push_back({240, "hints_jpg.bmp", MakeHintBitmap(kJpgLabels), kFrameBmpLayout});
  all.push_back({241, "hints_bmp.bmp", MakeHintBitmap(kBmpLabels), kFrameBmpLayout});
  return all;
}

}  // namespace resgen
