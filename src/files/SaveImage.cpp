#include "files/SaveImage.h"

#include <new>

#include "files/SignificantBits.h"
#include "files/StagedFile.h"
#include "files/StillWriters.h"

namespace tevrin::files {
namespace {

bool WriteFormat(const char* path, const StillImage& image, int formatCode, int significantBits) {
  switch (formatCode) {
    case kStillBmp:
      return WriteBmp(path, image);
    case kStillRaw:
      return WriteRaw(path, image);
    case kStillJpegQuality100:
      return WriteJpeg(path, image, 100, significantBits);
    case kStillJpegQuality70:
      return WriteJpeg(path, image, 70, significantBits);
    case kStillJpegQuality20:
      return WriteJpeg(path, image, 20, significantBits);
    case kStillPng:
      return WritePng(path, image, significantBits);
    case kStillTiff:
      return WriteTiff(path, image, significantBits);
    default:
      return false;
  }
}

bool IsKnownFormat(int formatCode) {
  return formatCode >= kStillBmp && formatCode <= kStillTiff;
}

}  // namespace

bool SaveImageAs(const char* path, const StillImage& image, int formatCode, int significantBits) noexcept {
  if (path == nullptr || *path == '\0' || !IsKnownFormat(formatCode) || !IsWritable(image) ||
      !IsSupportedSignificantBits(significantBits)) {
    return false;
  }
  try {
    StagedFile staged(path);
    return staged.Reserve() && WriteFormat(staged.TempPath(), image, formatCode, significantBits) && staged.Commit();
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace tevrin::files
