#include "image/CellStatistics.h"

#include "image/BayerCells.h"
#include "image/DibImage.h"

namespace tevrin::image {
namespace {

template <class Sample>
CellStatistics Measure(const CDibImage& raw, int bayerMode, int low, int high) {
  CellStatistics result;
  const int width = raw.Width();
  for (int y = 0; y < raw.Height(); ++y) {
    const auto* row = reinterpret_cast<const Sample*>(raw.Row(y));
    // Even and odd columns of one row lie in two cells.
    int64_t sum[2] = {}, count[2] = {};
    for (int x = 0; x < width; ++x) {
      const int v = row[x];
      const int counted = v >= low && v <= high;
      sum[x & 1] += counted * v;
      count[x & 1] += counted;
    }
    for (int parity = 0; parity < 2; ++parity) {
      const int cell = CellIndex(CellAt(y, parity, bayerMode));
      result.sum[cell] += sum[parity];
      result.count[cell] += count[parity];
    }
  }
  return result;
}

}  // namespace

CellStatistics MeasureCells(const CDibImage& raw, int bayerMode, int low, int high) {
  if (!raw.Bits()) return {};
  return raw.BitCount() == 16 ? Measure<uint16_t>(raw, bayerMode, low, high)
                              : Measure<uint8_t>(raw, bayerMode, low, high);
}

int64_t ScaledMeanRatio(int64_t scale, int64_t sumA, int64_t countA, int64_t sumB, int64_t countB, int64_t limit) {
  using Wide = unsigned __int128;
  const Wide ratio =
      Wide(uint64_t(scale)) * uint64_t(sumA) * uint64_t(countB) / (Wide(uint64_t(countA)) * uint64_t(sumB));
  return ratio < Wide(uint64_t(limit)) ? static_cast<int64_t>(ratio) : limit;
}

}  // namespace tevrin::image
