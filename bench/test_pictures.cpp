#include "bench/test_pictures.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstring>

namespace benchrig {
namespace {

namespace flat = Gdiplus::DllExports;

constexpr int kBlocks = 4;
constexpr int kFrameWidth = 320, kFrameHeight = 240;
constexpr uint32_t kBlockColours[kBlocks][kBlocks] = {
    {0xE01030, 0x20C040, 0x3040D0, 0xF0F020},
    {0x10E0E0, 0xC020C0, 0x808080, 0x402000},
    {0xFF8000, 0x0080FF, 0x80FF00, 0x602080},
    {0xFFFFFF, 0x101010, 0xA05030, 0x30A050},
};

void Put32(std::vector<uint8_t>& out, std::size_t at, uint32_t value) {
  std::memcpy(out.data() + at, &value, 4);
}

bool JpegEncoder(CLSID& clsid) {
  UINT count = 0, bytes = 0;
  if (flat::GdipGetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
  std::vector<uint8_t> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (flat::GdipGetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (codecs[i].MimeType && lstrcmpW(codecs[i].MimeType, L"image/jpeg") == 0) {
      clsid = codecs[i].Clsid;
      return true;
    }
  }
  return false;
}

std::vector<uint8_t> ReadFileBytes(const std::wstring& path) {
  std::vector<uint8_t> bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  bytes.resize(GetFileSize(file, nullptr));
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  bytes.resize(read);
  CloseHandle(file);
  return bytes;
}

}  // namespace

std::vector<uint8_t> BmpBytes(int width, int height, const ColourAt& colourAt) {
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  const std::size_t pixelBytes = stride * height;
  std::vector<uint8_t> out(54 + pixelBytes, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, static_cast<uint32_t>(out.size()));
  Put32(out, 10, 54);
  Put32(out, 14, 40);
  Put32(out, 18, static_cast<uint32_t>(width));
  Put32(out, 22, static_cast<uint32_t>(height));
  out[26] = 1;   // planes
  out[28] = 24;  // bits per pixel
  Put32(out, 34, static_cast<uint32_t>(pixelBytes));
  for (int y = 0; y < height; ++y) {
    uint8_t* row = out.data() + 54 + stride * (height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const uint32_t c = colourAt(x, y);
      row[x * 3] = c & 0xFF;
      row[x * 3 + 1] = (c >> 8) & 0xFF;
      row[x * 3 + 2] = (c >> 16) & 0xFF;
    }
  }
  return out;
}

std::vector<uint8_t> JpegBytes(int width, int height, const ColourAt& colourAt) {
  static const bool started = [] {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  CLSID encoder;
  if (!started || !JpegEncoder(encoder)) return {};
  std::vector<uint32_t> pixels(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels[y * width + x] = 0xFF000000 | colourAt(x, y);
  }
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (flat::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppARGB,
                                      reinterpret_cast<BYTE*>(pixels.data()), &bitmap) !=
      Gdiplus::Ok) {
    return {};
  }
  wchar_t folder[MAX_PATH], path[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"jpg", 0, path);
  const bool saved = flat::GdipSaveImageToFile(bitmap, path, &encoder, nullptr) == Gdiplus::Ok;
  flat::GdipDisposeImage(bitmap);
  std::vector<uint8_t> bytes = saved ? ReadFileBytes(path) : std::vector<uint8_t>{};
  DeleteFileW(path);
  return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = bytes.empty() ||
                  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

TempFolder::TempFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  path_ = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(GetTickCount());
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW(File(found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path_.c_str());
}

uint32_t FramePixel(const std::vector<uint8_t>& frame, int x, int y) {
  const std::size_t at = (static_cast<std::size_t>(kFrameHeight - 1 - y) * kFrameWidth + x) * 3;
  return (frame[at + 2] << 16) | (frame[at + 1] << 8) | frame[at];
}


uint32_t BlockColour(int column, int row) { return kBlockColours[row][column]; }

ColourAt BlockPattern(int width, int height) {
  return [width, height](int x, int y) {
    return kBlockColours[y * kBlocks / height][x * kBlocks / width];
  };
}

int BlockMismatches(const std::vector<uint8_t>& frame, int tolerance, int margin,
                    const std::function<bool(int, int)>& skip, std::string& first) {
  const int blockWidth = kFrameWidth / kBlocks, blockHeight = kFrameHeight / kBlocks;
  int mismatches = 0;
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      const int bx = x % blockWidth, by = y % blockHeight;
      if (bx < margin || bx >= blockWidth - margin || by < margin || by >= blockHeight - margin ||
          skip(x, y)) {
        continue;
      }
      const uint32_t want = kBlockColours[y / blockHeight][x / blockWidth];
      const uint32_t got = FramePixel(frame, x, y);
      if (!Near(got, want, tolerance) && mismatches++ == 0) {
        char text[96];
        wsprintfA(text, "(%d,%d) is %06X, the picture %06X", x, y, got, want);
        first = text;
      }
    }
  }
  return mismatches;
}

}  // namespace benchrig
