#include "image/GrayGains.h"

#include <algorithm>
#include <cstdint>

#include "image/BayerCells.h"
#include "image/CellStatistics.h"
#include "image/DibImage.h"
#include "settings/SettingsBlocks.h"

namespace tevrin::image {
namespace {

constexpr int kMax8 = 255;
constexpr int kMax16 = 4095;

// One table per cell over every value a sample of `Levels` significant levels
// can take; larger 16-bit samples (never sent by a 12-bit sensor) are computed.
template <class Sample, int Levels>
class GainTables {
 public:
  explicit GainTables(const GrayCells& cells) : cells_(cells) {
    for (int c = 0; c < 4; ++c) {
      for (int v = 0; v < Levels; ++v) table_[c][v] = Compute(c, v);
    }
  }
  Sample Map(int cell, int v) const { return v < Levels ? table_[cell][v] : Compute(cell, v); }

 private:
  Sample Compute(int cell, int v) const {
    const int64_t result = cells_.offset[cell] + int64_t{cells_.gain[cell]} * v / 128;
    return static_cast<Sample>(std::clamp<int64_t>(result, 0, Levels - 1));
  }

  const GrayCells& cells_;
  Sample table_[4][Levels];
};

template <class Sample, int Levels>
void Apply(CDibImage& raw, int bayerMode, const GrayCells& cells) {
  const GainTables<Sample, Levels> tables(cells);
  const int width = raw.Width();
  for (int y = 0; y < raw.Height(); ++y) {
    auto* row = reinterpret_cast<Sample*>(raw.Row(y));
    const int even = CellIndex(CellAt(y, 0, bayerMode)), odd = CellIndex(CellAt(y, 1, bayerMode));
    int x = 0;
    for (; x + 1 < width; x += 2) {
      row[x] = tables.Map(even, row[x]);
      row[x + 1] = tables.Map(odd, row[x + 1]);
    }
    if (x < width) row[x] = tables.Map(even, row[x]);
  }
}

}  // namespace

GrayCells GrayCellsOf(const ImageSettings& settings) {
  GrayCells cells;
  cells.gain = {settings.grayGainG1, settings.grayGainR, settings.grayGainB, settings.grayGainG2};
  cells.offset = {settings.grayOffsetG1, settings.grayOffsetR, settings.grayOffsetB, settings.grayOffsetG2};
  return cells;
}

void StoreGrayGains(const std::array<int, 4>& gains, ImageSettings& settings) {
  settings.grayGainG1 = gains[0];
  settings.grayGainR = gains[1];
  settings.grayGainB = gains[2];
  settings.grayGainG2 = gains[3];
}

void ApplyGrayGains(CDibImage& raw, int bayerMode, const GrayCells& cells) {
  if (!raw.Bits()) return;
  if (raw.BitCount() == 8) Apply<uint8_t, kMax8 + 1>(raw, bayerMode, cells);
  if (raw.BitCount() == 16) Apply<uint16_t, kMax16 + 1>(raw, bayerMode, cells);
}

bool MeasureGrayGains(const CDibImage& raw, int bayerMode, std::array<int, 4>& gains) {
  const int saturated = raw.BitCount() == 16 ? kMax16 : kMax8;
  const CellStatistics cells = MeasureCells(raw, bayerMode, 1, saturated - 1);
  if (cells.count[0] == 0) return false;
  gains[0] = 128;
  for (int c = 1; c < 4; ++c) {
    if (cells.count[c] == 0) continue;
    gains[c] =
        static_cast<int>(ScaledMeanRatio(128, cells.sum[0], cells.count[0], cells.sum[c], cells.count[c], INT32_MAX));
  }
  return true;
}

}  // namespace tevrin::image
