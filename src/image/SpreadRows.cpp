#include "image/SpreadRows.h"

#include <cstring>

#include "image/DibImage.h"

namespace tevrin::image {

void SpreadRows(CDibImage& image) {
  const size_t packed = static_cast<size_t>(image.Width()) * static_cast<size_t>(image.BytesPerPixel());
  const size_t stride = static_cast<size_t>(image.Stride());
  if (!image.Bits() || packed == stride) return;
  uint8_t* bits = image.Bits();
  // Row y's new place lies at or after its old one and only over rows already
  // moved, so each row moves as one overlapping block.
  for (size_t y = static_cast<size_t>(image.Height()); y-- > 0;) {
    std::memmove(bits + y * stride, bits + y * packed, packed);
    std::memset(bits + y * stride + packed, 0, stride - packed);
  }
}

}  // namespace tevrin::image
