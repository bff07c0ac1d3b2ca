// Gamma, contrast and brightness: one table lookup per colour sample.
#include <cstdint>

#include "image/DibImage.h"
#include "image/OutputFilters.h"

namespace tevrin::image {
namespace {

template <typename Sample>
void MapSamples(CDibImage& image, const Sample* table) {
  const int perPixel = image.BitCount() / (8 * static_cast<int>(sizeof(Sample)));
  const int width = image.Width();
  for (int y = 0; y < image.Height(); ++y) {
    auto* row = reinterpret_cast<Sample*>(image.Row(y));
    if (perPixel != 4) {
      for (int i = 0; i < width * perPixel; ++i) row[i] = table[row[i]];
      continue;
    }
    for (int x = 0; x < width; ++x, row += 4) {
      row[0] = table[row[0]];
      row[1] = table[row[1]];
      row[2] = table[row[2]];
    }
  }
}

}  // namespace

void ApplyCurve(CDibImage& output, Curve curve, int setting, CFilterTables& tables) {
  if (!output.Bits()) return;
  switch (output.BitCount()) {
    case 8:
    case 24:
    case 32:
      MapSamples(output, tables.Curve8(curve, setting));
      break;
    case 16:
    case 48:
    case 64:
      MapSamples(output, tables.Curve16(curve, setting));
      break;
  }
}

}  // namespace tevrin::image
