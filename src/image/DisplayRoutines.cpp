// The routines of the preview drawing: reduce the mode's output to 8 or 24
// bits, and scale it to the window's client area.
#include <algorithm>
#include <cstring>
#include <vector>

#include "image/OutputRoutines.h"
#include "image/PixelWalk.h"

namespace tevrin::image {
namespace {

// Row by row, so the compiler turns the high-byte pick into vector code: the
// preview draws every frame of the 16-bit mode through it.
int DisplayGray16(const PixelTransfer& t) {
  const int width = t.Width();  // held here: a byte store could alias `t`, so t.Width() would be re-read
  for (int i = 0; i < t.Height(); ++i) {
    const uint8_t* __restrict source = SourceRow(t, t.top + i) + static_cast<ptrdiff_t>(t.left) * 2;
    uint8_t* __restrict destination = DestinationRow(t, t.destinationY + i) + t.destinationX;
    for (int x = 0; x < width; ++x) destination[x] = static_cast<uint8_t>(LoadWord(source + 2 * x) >> 8);
  }
  return 1;
}

// Each pixel but the last is stored with a 4-byte write that the next pixel
// overwrites in part: one move per pixel instead of three.
int DisplayColor32(const PixelTransfer& t) {
  const int width = t.Width();
  for (int i = 0; i < t.Height(); ++i) {
    const uint8_t* __restrict source = SourceRow(t, t.top + i) + static_cast<ptrdiff_t>(t.left) * 4;
    uint8_t* __restrict destination = DestinationRow(t, t.destinationY + i) + t.destinationX * 3;
    for (int x = 0; x + 1 < width; ++x) std::memcpy(destination + 3 * x, source + 4 * x, 4);
    if (width > 0) std::memcpy(destination + 3 * (width - 1), source + 4 * (width - 1), 3);
  }
  return 1;
}

// 48- and 64-bit pixels alike: the first three samples, row by row. At 48
// bits a row is one run of samples, reduced in one vectorisable loop.
int DisplayColor48(const PixelTransfer& t) {
  const int bytes = t.sourceBytes, width = t.Width();
  for (int i = 0; i < t.Height(); ++i) {
    const uint8_t* __restrict source = SourceRow(t, t.top + i) + static_cast<ptrdiff_t>(t.left) * bytes;
    uint8_t* __restrict destination = DestinationRow(t, t.destinationY + i) + t.destinationX * 3;
    // Samples start 2-byte aligned: DIB rows start 4-byte aligned.
    const auto* __restrict samples = reinterpret_cast<const uint16_t*>(source);
    if (bytes == 6) {
      for (int j = 0; j < 3 * width; ++j) destination[j] = static_cast<uint8_t>(samples[j] >> 4);
      continue;
    }
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < 3; ++c) destination[3 * x + c] = static_cast<uint8_t>(samples[4 * x + c] >> 4);
    }
  }
  return 1;
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
  // The column choice is the same for every row: worked out once, and a row
  // that takes every column in order is one copy.
  thread_local std::vector<int> columns;
  columns.resize(static_cast<size_t>(t.destinationWidth));
  bool inOrder = t.destinationWidth == t.Width();
  for (int x = 0; x < t.destinationWidth; ++x) {
    columns[static_cast<size_t>(x)] = (t.left + NearestIndex(x, rx, t.Width())) * Bytes;
    inOrder = inOrder && columns[static_cast<size_t>(x)] == (t.left + x) * Bytes;
  }
  for (int i = 0; i < t.destinationHeight; ++i) {
    const uint8_t* source = SourceRow(t, t.bottom - 1 - NearestIndex(i, ry, t.Height()));
    uint8_t* destination = DestinationRow(t, t.destinationY + i) + t.destinationX * Bytes;
    if (inOrder) {
      std::memcpy(destination, source + t.left * Bytes, static_cast<size_t>(t.destinationWidth) * Bytes);
      continue;
    }
    for (int x = 0; x < t.destinationWidth; ++x, destination += Bytes) {
      std::memcpy(destination, source + columns[static_cast<size_t>(x)], Bytes);
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
