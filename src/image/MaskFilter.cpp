// The flat-field correction of the raw frame.
#include <algorithm>
#include <cstdint>

#include "image/DibImage.h"
#include "image/RawFilters.h"

namespace tevrin::image {
namespace {

// (p - d) x scale / (w - d), truncated toward zero. A double quotient of these
// integers (numerator below 2^29, divisor below 2^16) never rounds across a
// whole number, so truncating it is exact; unlike an integer division it
// vectorises.
inline int Corrected(int p, int d, int w, int scale) {
  const int divisor = w - d;
  return static_cast<int>(static_cast<double>((p - d) * scale) / static_cast<double>(divisor == 0 ? 1 : divisor));
}

// 8-bit: wherever the references differ; 16-bit: where white is above dark.
template <typename Sample>
void CorrectRow(Sample* frame, const Sample* dark, const Sample* white, int width, int step) {
  constexpr bool kWide = sizeof(Sample) == 2;
  constexpr int kScale = kWide ? 4096 : 256;
  constexpr int kMax = kWide ? 4095 : 255;
  for (int x = 0; x < width; ++x) {
    const int p = frame[x], d = dark[x * step], w = white[x * step];
    const bool usable = kWide ? w > d : w != d;
    const int value = std::clamp(Corrected(p, d, w, kScale), 0, kMax);
    frame[x] = static_cast<Sample>(usable ? value : p);
  }
}

template <typename Sample>
const Sample* SensorRow(const CDibImage& image, SensorWindow window, int y) {
  return reinterpret_cast<const Sample*>(image.Row(window.top + y * window.step)) + window.left;
}

template <typename Sample>
void Correct(CDibImage& frame, const CDibImage& dark, const CDibImage& white, SensorWindow window) {
  for (int y = 0; y < frame.Height(); ++y) {
    auto* row = reinterpret_cast<Sample*>(frame.Row(y));
    const Sample* darkRow = SensorRow<Sample>(dark, window, y);
    const Sample* whiteRow = SensorRow<Sample>(white, window, y);
    // A literal step of 1 lets the compiler vectorise the unsubsampled frame.
    if (window.step == 1) {
      CorrectRow(row, darkRow, whiteRow, frame.Width(), 1);
    } else {
      CorrectRow(row, darkRow, whiteRow, frame.Width(), window.step);
    }
  }
}

}  // namespace

void ApplyMaskFilter(CDibImage& frame, const DefectMasks& masks, SensorWindow window) {
  if (!masks.dark || !masks.white) return;
  if (!CoversFrame(*masks.dark, frame, window) || !CoversFrame(*masks.white, frame, window)) return;
  if (frame.BitCount() == 8) Correct<uint8_t>(frame, *masks.dark, *masks.white, window);
  if (frame.BitCount() == 16) Correct<uint16_t>(frame, *masks.dark, *masks.white, window);
}

}  // namespace tevrin::image
