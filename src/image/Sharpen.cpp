// Unsharp masking against the 4 x 4 block mean, computed separably: the sums
// of four rows per sample, then of four of those sums along the row.
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "image/DibImage.h"
#include "image/OutputFilters.h"
#include "image/VectorClones.h"

namespace tevrin::image {
namespace {

constexpr int kBorder = 2;

// 8-bit samples are summed and corrected in 16 bits (a block sum is at most
// 4080, a correction at most 30 x 255), twice as many per vector as in 32.
template <typename Sample>
using Sum = std::conditional_t<sizeof(Sample) == 1, int16_t, int32_t>;

// One row: the sums of four rows per sample, then the correction of each
// sample against the mean of four of those sums along the row.
template <typename Sample>
TEVRIN_INLINE_INTO_CLONES void SharpenRow(const Sample* const rows[4], Sample* target, int samples, int perPixel,
                                          int strength, Sum<Sample>* sums) {
  using Wide = Sum<Sample>;
  constexpr int kMax = sizeof(Sample) == 1 ? 255 : 65535;
  const Sample *r0 = rows[0], *r1 = rows[1], *r2 = rows[2], *r3 = rows[3];
  for (int i = 0; i < samples; ++i) sums[i] = static_cast<Wide>(r0[i] + r1[i] + r2[i] + r3[i]);
  for (int i = kBorder * perPixel; i < samples - kBorder * perPixel; ++i) {
    const Wide block = static_cast<Wide>(sums[i - 2 * perPixel] + sums[i - perPixel] + sums[i] + sums[i + perPixel]);
    const Wide original = r2[i];
    const Wide correction = static_cast<Wide>(static_cast<Wide>(strength * (original - (block >> 4))) / 10);
    const int value = original + correction;
    target[i] = static_cast<Sample>(value < 0 ? 0 : value > kMax ? kMax : value);
  }
}

TEVRIN_VECTOR_CLONES void SharpenRow8(const uint8_t* const rows[4], uint8_t* target, int samples, int perPixel,
                                      int strength, int16_t* sums) {
  SharpenRow(rows, target, samples, perPixel, strength, sums);
}
TEVRIN_VECTOR_CLONES void SharpenRow16(const uint16_t* const rows[4], uint16_t* target, int samples, int perPixel,
                                       int strength, int32_t* sums) {
  SharpenRow(rows, target, samples, perPixel, strength, sums);
}

template <typename Sample>
void SharpenRows(CDibImage& output, const CDibImage& copy, int strength, Sum<Sample>* sums) {
  const int perPixel = output.BitCount() / (8 * static_cast<int>(sizeof(Sample)));
  const int samples = output.Width() * perPixel;
  const auto row = [&](int y) { return reinterpret_cast<const Sample*>(copy.Row(y)); };
  for (int y = kBorder; y < output.Height() - kBorder; ++y) {
    const Sample* rows[4] = {row(y - 2), row(y - 1), row(y), row(y + 1)};
    auto* target = reinterpret_cast<Sample*>(output.Row(y));
    if constexpr (sizeof(Sample) == 1) {
      SharpenRow8(rows, target, samples, perPixel, strength, sums);
    } else {
      SharpenRow16(rows, target, samples, perPixel, strength, sums);
    }
  }
}

}  // namespace

void Sharpen(CDibImage& output, CDibImage& copy, int sharpness, CFilterTables& tables) {
  if (!output.SameFormat(copy)) return;
  std::memcpy(copy.Bits(), output.Bits(), output.ByteSize());
  // Never more sums than bytes in a row, each at most 4 bytes wide.
  void* sums = tables.RowScratch(static_cast<size_t>(output.Stride()) * sizeof(int32_t));
  if (!sums) return;
  switch (output.BitCount()) {
    case 8:
    case 24:
    case 32:
      SharpenRows<uint8_t>(output, copy, sharpness, static_cast<Sum<uint8_t>*>(sums));
      break;
    case 16:
    case 48:
    case 64:
      SharpenRows<uint16_t>(output, copy, sharpness, static_cast<Sum<uint16_t>*>(sums));
      break;
  }
}

}  // namespace tevrin::image
