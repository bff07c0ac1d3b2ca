#include "image/ExposureCorrection.h"

#include <cstdint>
#include <iterator>

#include "image/DibImage.h"

namespace tevrin::image {
namespace {

// Left, top, right, bottom as fractions of the width and height; the right
// and bottom edges are outside.
struct Region {
  double left, top, right, bottom;
};
constexpr Region kRegions[] = {
    {0.10, 0.10, 0.20, 0.20},  // upper left
    {0.10, 0.80, 0.20, 0.90},  // lower left
    {0.45, 0.45, 0.55, 0.55},  // centre
    {0.80, 0.10, 0.90, 0.20},  // upper right
    {0.80, 0.80, 0.90, 0.90},  // lower right
};

// 12-bit data in 16-bit samples, brought to the 8-bit scale of the thresholds.
constexpr int kSixteenBitShift = 4;

int At(double fraction, int size) {
  return static_cast<int>(fraction * size);
}

template <typename Sample, int kShift>
int MeanLevel(const CDibImage& raw, const Region& region) {
  const int left = At(region.left, raw.Width()), right = At(region.right, raw.Width());
  const int top = At(region.top, raw.Height()), bottom = At(region.bottom, raw.Height());
  if (right <= left || bottom <= top) return 0;
  uint64_t sum = 0;
  for (int y = top; y < bottom; ++y) {
    const auto* row = reinterpret_cast<const Sample*>(raw.Row(y));
    uint32_t rowSum = 0;
    for (int x = left; x < right; ++x) rowSum += row[x] >> kShift;
    sum += rowSum;
  }
  return static_cast<int>(sum / (static_cast<uint64_t>(right - left) * static_cast<uint64_t>(bottom - top)));
}

// One region's vote: the factor it starts as the first region, and the
// amount it subtracts or adds as one of the others.
struct Vote {
  double start;
  double amount;
  bool subtract;
};

Vote VoteOf(int level) {
  if (level > 200) return {0.85, 0.15, true};
  if (level > 160) return {0.9, 0.10, true};
  if (level < 50) return {1.1, 0.10, false};
  if (level < 100) return {1.05, 0.05, false};
  return {1.0, 0.0, false};
}

template <typename Sample, int kShift>
double Correction(const CDibImage& raw) {
  double factor = VoteOf(MeanLevel<Sample, kShift>(raw, kRegions[0])).start;
  for (size_t region = 1; region < std::size(kRegions); ++region) {
    const Vote vote = VoteOf(MeanLevel<Sample, kShift>(raw, kRegions[region]));
    if (vote.subtract) {
      factor -= vote.amount;
    } else {
      factor += vote.amount;
    }
  }
  return factor;
}

}  // namespace

std::optional<double> ExposureCorrection(const CDibImage& raw) {
  if (!raw.Bits()) return std::nullopt;
  if (raw.BitCount() == 8) return Correction<uint8_t, 0>(raw);
  if (raw.BitCount() == 16) return Correction<uint16_t, kSixteenBitShift>(raw);
  return std::nullopt;
}

}  // namespace tevrin::image
