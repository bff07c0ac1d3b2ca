// The flat-field correction of the raw frame.
#include <cstdint>

#include "image/DibImage.h"
#include "image/RawFilters.h"
#include "image/VectorClones.h"

namespace tevrin::image {
namespace {

// (p - d) x scale / (w - d), truncated toward zero, in single precision so
// that it vectorises. Numerator and divisor are exact floats (a 16-bit
// difference times a power of two, a 16-bit divisor) and the quotient is
// correctly rounded: it may round up onto the next whole number but never
// down past one. In 8 bits (numerators below 2^16) that never happens; in 16
// bits one step back repairs it.
// Written without branches (a divisor of 0 becomes 1 by a bit operation, not
// a choice) so that the loop vectorises.
template <typename Sample>
TEVRIN_INLINE_INTO_CLONES void CorrectRow(Sample* frame, const Sample* dark, const Sample* white, int width, int step) {
  constexpr bool kWide = sizeof(Sample) == 2;
  constexpr int kScale = kWide ? 4096 : 256;
  constexpr int kMax = kWide ? 4095 : 255;
  for (int x = 0; x < width; ++x) {
    const int p = frame[x], d = dark[x * step], w = white[x * step];
    const int numerator = (p - d) * kScale;
    const int divisor = w - d;
    const float quotient = static_cast<float>(numerator) / static_cast<float>(divisor | (divisor == 0));
    int value = static_cast<int>(quotient);
    value = value < 0 ? 0 : value > kMax + 1 ? kMax + 1 : value;
    if constexpr (kWide) value -= (value > 0) & (value * divisor > numerator);
    value = value > kMax ? kMax : value;
    const bool usable = kWide ? w > d : w != d;
    frame[x] = static_cast<Sample>(usable ? value : p);
  }
}

// The unsubsampled rows, the common case, with a literal step of 1 that lets
// the loop vectorise.
TEVRIN_VECTOR_CLONES void CorrectFullRow(uint8_t* frame, const uint8_t* dark, const uint8_t* white, int width) {
  CorrectRow(frame, dark, white, width, 1);
}
TEVRIN_VECTOR_CLONES void CorrectFullRow(uint16_t* frame, const uint16_t* dark, const uint16_t* white, int width) {
  CorrectRow(frame, dark, white, width, 1);
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
    if (window.step == 1) {
      CorrectFullRow(row, darkRow, whiteRow, frame.Width());
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
