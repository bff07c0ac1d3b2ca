#include "image/Mirror.h"

#include <algorithm>
#include <cstdint>

#include "image/DibImage.h"

namespace tevrin::image {
namespace {

template <class Sample>
void ReverseRow(uint8_t* row, int width) {
  auto* samples = reinterpret_cast<Sample*>(row);
  std::reverse(samples, samples + width);
}

template <class Sample>
void Mirror(CDibImage& raw, bool horizontal, bool vertical) {
  const int width = raw.Width(), height = raw.Height();
  const size_t rowBytes = static_cast<size_t>(width) * sizeof(Sample);
  if (vertical) {
    for (int y = 0; y < height / 2; ++y) std::swap_ranges(raw.Row(y), raw.Row(y) + rowBytes, raw.Row(height - 1 - y));
  }
  if (horizontal) {
    for (int y = 0; y < height; ++y) ReverseRow<Sample>(raw.Row(y), width);
  }
}

}  // namespace

void MirrorFrame(CDibImage& raw, bool horizontal, bool vertical) {
  if (!raw.Bits() || !(horizontal || vertical)) return;
  if (raw.BitCount() == 8) Mirror<uint8_t>(raw, horizontal, vertical);
  if (raw.BitCount() == 16) Mirror<uint16_t>(raw, horizontal, vertical);
}

}  // namespace tevrin::image
