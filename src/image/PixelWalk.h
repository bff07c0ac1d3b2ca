// The loop that every one-to-one pixel routine shares: walk the clipped
// rectangle row by row and hand each destination and source pixel to `pixel`.
// A flipped walk writes destination row i from source row (bottom - 1 - i),
// for consumers that store pictures bottom-up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "image/PixelRoutine.h"

namespace tevrin::image {

enum class RowOrder { kSame, kFlipped };

inline const uint8_t* SourceRow(const PixelTransfer& t, int row) {
  return t.source + static_cast<ptrdiff_t>(row) * t.sourceStride;
}

inline uint8_t* DestinationRow(const PixelTransfer& t, int row) {
  return t.destination + static_cast<ptrdiff_t>(row) * t.destinationStride;
}

template <class PixelFunction>
int WalkPixels(const PixelTransfer& t, RowOrder order, PixelFunction pixel) {
  for (int i = 0; i < t.Height(); ++i) {
    const int row = order == RowOrder::kFlipped ? t.bottom - 1 - i : t.top + i;
    const uint8_t* source = SourceRow(t, row) + static_cast<ptrdiff_t>(t.left) * t.sourceBytes;
    uint8_t* destination =
        DestinationRow(t, t.destinationY + i) + static_cast<ptrdiff_t>(t.destinationX) * t.destinationBytes;
    for (int x = 0; x < t.Width(); ++x, source += t.sourceBytes, destination += t.destinationBytes) {
      pixel(destination, source);
    }
  }
  return 1;
}

// Samples of 16 bits are little-endian, as the host stores them.
inline uint16_t LoadWord(const uint8_t* p) {
  uint16_t value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

inline void StoreWord(uint8_t* p, uint16_t value) {
  std::memcpy(p, &value, sizeof value);
}

}  // namespace tevrin::image
