// Per-cell sums over a raw frame, for the measurements that set gains: the
// gray auto gain and the automatic white balance.
#pragma once

#include <array>
#include <cstdint>

class CDibImage;

namespace tevrin::image {

struct CellStatistics {
  std::array<int64_t, 4> sum{};    // by CellIndex
  std::array<int64_t, 4> count{};  // samples that counted
};

// Sums the samples within [low, high] of an 8- or 16-bit frame per Bayer cell.
CellStatistics MeasureCells(const CDibImage& raw, int bayerMode, int low, int high);

// scale x (sumA / countA) / (sumB / countB), truncated and limited to `limit`.
// countA, sumB and countB must be positive. The cross products of the sums
// and counts of a large frame outgrow 64 bits, so they are formed in 128.
int64_t ScaledMeanRatio(int64_t scale, int64_t sumA, int64_t countA, int64_t sumB, int64_t countB, int64_t limit);

}  // namespace tevrin::image
