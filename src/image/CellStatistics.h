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

}  // namespace tevrin::image
