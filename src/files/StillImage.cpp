#include "files/StillImage.h"

#include <limits>

namespace tevrin::files {

bool IsWritable(const StillImage& image) {
  switch (image.bitCount) {
    case 8:
    case 16:
    case 24:
    case 32:
    case 48:
    case 64:
      break;
    default:
      return false;
  }
  if (image.width <= 0 || image.height <= 0 || image.bits == nullptr || image.stride <= 0) return false;
  // Rows longer than the stride would overlap; sizes that overflow an int
  // stride are beyond any buffer the pipeline makes.
  if (image.RowBytes() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return false;
  return static_cast<size_t>(image.stride) >= image.RowBytes();
}

}  // namespace tevrin::files
