#include "images/image_path.h"

#include <cwchar>

#include "resources/resource_ids.h"

namespace panelcast {
namespace {

constexpr const wchar_t* kJpegNames[] = {L"\\FIP1.JPG", L"\\FIP2.JPG", L"\\FIP3.JPG",
                                         L"\\FIP4.JPG", L"\\FIP5.JPG", L"\\FIP6.JPG"};
constexpr const wchar_t* kBitmapNames[] = {L"\\FIP1.BMP", L"\\FIP2.BMP", L"\\FIP3.BMP",
                                           L"\\FIP4.BMP", L"\\FIP5.BMP", L"\\FIP6.BMP"};

}  // namespace

bool JoinFolderAndName(const wchar_t* folder, const wchar_t* name, wchar_t* out,
                       std::size_t capacity) {
  if (capacity == 0) return false;
  out[0] = L'\0';
  const std::size_t folderLength = std::wcslen(folder), nameLength = std::wcslen(name);
  if (folderLength + nameLength >= capacity) return false;
  std::wmemcpy(out, folder, folderLength);
  std::wmemcpy(out + folderLength, name, nameLength + 1);
  return true;
}

const wchar_t* ImageFileName(int32_t format, int image) {
  if (image < 1 || image > 6) return nullptr;
  if (format == 0) return kJpegNames[image - 1];
  if (format == 1) return kBitmapNames[image - 1];
  return nullptr;
}

uint16_t HintBitmapOfFormat(int32_t format) {
  if (format == 0) return IDB_HINTS_JPG;
  if (format == 1) return IDB_HINTS_BMP;
  return 0;
}

}  // namespace panelcast
