// The routines of the preview drawing: reduce the mode's output to 8 or 24
// bits, and scale it to the window's client area.
#include <algorithm>
#include <cstring>

#include "image/OutputRoutines.h"
#include "image/PixelWalk.h"

namespace tevrin::image {
namespace {

int DisplayGray16(const PixelTransfer& t) {
  return WalkPixels(t, RowOrder::kSame, [](uint8_t* d, const uint8_t* s) { d[0] = s[1]; });
}

int DisplayColor32(const PixelTransfer& t) {
  return WalkPixels(t, RowOrder::kSame, [](uint8_t* d, const uint8_t* s) { std::memcpy(d, s, 3); });
}

int DisplayColor48(const PixelTransfer& t) {
  return WalkPixels(t, RowOrder::kSame, [](uint8_t* d, const uint8_t* s) {
    for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(LoadWord(s + 2 * c) >> 4);
  });
}

// Source index = integer part of (i x ratio), limited to the last one. The
// preview's pixel choice is defined with single-precision ratios: i x ratio can
// fall just below a whole number that exact arithmetic reaches, and then picks
// the pixel before it.
int NearestIndex(int i, float ratio, int sourceSize) {
  return std::min(static_cast<int>(static_cast<float>(i) * ratio), sourceSize - 1);
}

float Ratio(int sourceSize, int targetSize) {
  return static_cast<float>(sourceSize) / static_cast<float>(targetSize);
}

template <int Bytes>
int ScaleFlipped(const PixelTransfer& t) {
  const float rx = Ratio(t.Width(), t.destinationWidth), ry = Ratio(t.Height(), t.destinationHeight);
  for (int i = 0; i < t.destinationHeight; ++i) {
    const uint8_t* source = SourceRow(t, t.bottom - 1 - NearestIndex(i, ry, t.Height()));
    uint8_t* destination = DestinationRow(t, t.destinationY + i) + t.destinationX * Bytes;
    for (int x = 0; x < t.destinationWidth; ++x, destination += Bytes) {
      std::memcpy(destination, source + (t.left + NearestIndex(x, rx, t.Width())) * Bytes, Bytes);
    }
  }
  return 1;
}

}  // namespace

const PixelRoutine kDisplayGray16{DisplayGray16};
const PixelRoutine kDisplayColor32{DisplayColor32};
const PixelRoutine kDisplayColor48{DisplayColor48};
const PixelRoutine kScaleGray8{ScaleFlipped<1>, RoutineShape::kScaleToDestination};
const PixelRoutine kScaleColor24{ScaleFlipped<3>, RoutineShape::kScaleToDestination};

}  // namespace tevrin::image
