#include "image/WhiteBalance.h"

#include <cstdint>

#include "image/BayerCells.h"
#include "image/CellStatistics.h"
#include "image/DibImage.h"

namespace tevrin::image {
namespace {

constexpr int kMaxGain = 400;

void Balance(int64_t greenSum, int64_t greenCount, int64_t sum, int64_t count, int& gain) {
  if (count == 0 || sum == 0) return;
  gain = static_cast<int>(ScaledMeanRatio(100, greenSum, greenCount, sum, count, kMaxGain));
}

}  // namespace

bool MeasureWhiteBalance(const CDibImage& raw, int bayerMode, WhiteBalanceGains& gains) {
  const CellStatistics cells = MeasureCells(raw, bayerMode, 0, 0xFFFF);
  const int blue = CellIndex(kBlueCell), red = CellIndex(kRedCell);
  const int64_t greenSum = cells.sum[0] + cells.sum[3], greenCount = cells.count[0] + cells.count[3];
  if (greenCount == 0) return false;
  Balance(greenSum, greenCount, cells.sum[red], cells.count[red], gains.red);
  Balance(greenSum, greenCount, cells.sum[blue], cells.count[blue], gains.blue);
  gains.green = 100;
  return true;
}

}  // namespace tevrin::image
