// The routines of the still-image writers and the recorder: their formats
// store pictures bottom-up, so every one of them flips the rows.
#include <algorithm>
#include <cstring>

#include "image/OutputRoutines.h"
#include "image/PixelWalk.h"

namespace tevrin::image {
namespace {

int CopyRowsFlipped(const PixelTransfer& t) {
  const ptrdiff_t sourceOffset = static_cast<ptrdiff_t>(t.left) * t.sourceBytes;
  const ptrdiff_t destinationOffset = static_cast<ptrdiff_t>(t.destinationX) * t.destinationBytes;
  const size_t bytes =
      static_cast<size_t>(std::min(t.destinationStride - destinationOffset, t.sourceStride - sourceOffset));
  for (int i = 0; i < t.Height(); ++i) {
    std::memcpy(DestinationRow(t, t.destinationY + i) + destinationOffset,
                SourceRow(t, t.bottom - 1 - i) + sourceOffset, bytes);
  }
  return 1;
}

template <int Shift>
int ReduceShifted(const PixelTransfer& t) {
  return WalkPixels(t, RowOrder::kFlipped,
                    [](uint8_t* d, const uint8_t* s) { d[0] = static_cast<uint8_t>(LoadWord(s) >> Shift); });
}

int ReduceColor48(const PixelTransfer& t) {
  return WalkPixels(t, RowOrder::kFlipped, [](uint8_t* d, const uint8_t* s) {
    d[0] = s[1];
    d[1] = s[3];
    d[2] = s[5];
  });
}

int CopyColor24Flipped(const PixelTransfer& t) {
  return WalkPixels(t, RowOrder::kFlipped, [](uint8_t* d, const uint8_t* s) { std::memcpy(d, s, 3); });
}

}  // namespace

const PixelRoutine kCopyRowsFlipped{CopyRowsFlipped};
const PixelRoutine kReduceColor48{ReduceColor48};
const PixelRoutine kCopyColor24Flipped{CopyColor24Flipped};

PixelRoutine ReduceGray16(int significantBits) {
  switch (significantBits) {
    case 10:
      return {ReduceShifted<2>};
    case 12:
      return {ReduceShifted<4>};
    case 16:
      return {ReduceShifted<8>};
    default:
      return {};
  }
}

}  // namespace tevrin::image
