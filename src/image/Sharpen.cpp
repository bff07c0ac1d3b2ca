// Unsharp masking against the 4 x 4 block mean, computed separably: the sums
// of four rows per sample, then of four of those sums along the row.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "image/DibImage.h"
#include "image/OutputFilters.h"

namespace tevrin::image {
namespace {

constexpr int kBorder = 2;

template <typename Sample>
void SharpenRows(CDibImage& output, const CDibImage& copy, int strength, int32_t* sums) {
  constexpr int kMax = sizeof(Sample) == 1 ? 255 : 65535;
  const int perPixel = output.BitCount() / (8 * static_cast<int>(sizeof(Sample)));
  const int samples = output.Width() * perPixel;
  const auto row = [&](int y) { return reinterpret_cast<const Sample*>(copy.Row(y)); };
  for (int y = kBorder; y < output.Height() - kBorder; ++y) {
    const Sample *r0 = row(y - 2), *r1 = row(y - 1), *r2 = row(y), *r3 = row(y + 1);
    for (int i = 0; i < samples; ++i) sums[i] = r0[i] + r1[i] + r2[i] + r3[i];
    auto* target = reinterpret_cast<Sample*>(output.Row(y));
    for (int i = kBorder * perPixel; i < samples - kBorder * perPixel; ++i) {
      const int block = sums[i - 2 * perPixel] + sums[i - perPixel] + sums[i] + sums[i + perPixel];
      const int original = r2[i];
      const int value = original + strength * (original - (block >> 4)) / 10;
      target[i] = static_cast<Sample>(std::clamp(value, 0, kMax));
    }
  }
}

}  // namespace

void Sharpen(CDibImage& output, CDibImage& copy, int sharpness, CFilterTables& tables) {
  if (!output.SameFormat(copy)) return;
  std::memcpy(copy.Bits(), output.Bits(), output.ByteSize());
  const size_t samples = static_cast<size_t>(output.Stride());
  switch (output.BitCount()) {
    case 8:
    case 24:
    case 32:
      SharpenRows<uint8_t>(output, copy, sharpness, tables.RowSums(samples));
      break;
    case 16:
    case 48:
    case 64:
      SharpenRows<uint16_t>(output, copy, sharpness, tables.RowSums(samples));
      break;
  }
}

}  // namespace tevrin::image
