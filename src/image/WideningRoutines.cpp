// The routines that widen samples of 10 or 12 significant bits to the full
// 16-bit word, and those that reorder the bytes of colour pixels for formats
// that store R, G, B.
#include "image/OutputRoutines.h"
#include "image/PixelWalk.h"

namespace tevrin::image {
namespace {

// The order in which the widened channels are written.
enum class Order { kKept, kReversed };

// Widens `Count` words (1 grey, or B, G, R) by `Shift`, reversing the
// channels when asked; with `Opaque` a fourth word 0xFFFF follows.
template <int Shift, int Count, Order order, bool Opaque>
int Widen(const PixelTransfer& t) {
  return WalkPixels(t, RowOrder::kSame, [](uint8_t* d, const uint8_t* s) {
    for (int c = 0; c < Count; ++c) {
      const int target = order == Order::kKept ? c : Count - 1 - c;
      StoreWord(d + 2 * target, static_cast<uint16_t>(LoadWord(s + 2 * c) << Shift));
    }
    if (Opaque) StoreWord(d + 6, 0xFFFF);
  });
}

// The routine for 10 significant bits (shift 6) or 12 (shift 4).
template <int Count, Order order, bool Opaque>
PixelRoutine WidenFor(int significantBits) {
  switch (significantBits) {
    case 10:
      return {Widen<6, Count, order, Opaque>};
    case 12:
      return {Widen<4, Count, order, Opaque>};
    default:
      return {};
  }
}

int SwapColor24(const PixelTransfer& t) {
  return WalkPixels(t, RowOrder::kSame, [](uint8_t* d, const uint8_t* s) {
    const uint8_t blue = s[0], green = s[1], red = s[2];
    d[0] = red;
    d[1] = green;
    d[2] = blue;
  });
}

int Alpha32(const PixelTransfer& t) {
  return WalkPixels(t, RowOrder::kSame, [](uint8_t* d, const uint8_t* s) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
    d[3] = static_cast<uint8_t>(~s[3]);
  });
}

}  // namespace

PixelRoutine WidenGray16(int significantBits) {
  return WidenFor<1, Order::kKept, false>(significantBits);
}
PixelRoutine WidenColor48(int significantBits) {
  return WidenFor<3, Order::kKept, false>(significantBits);
}
PixelRoutine WidenColor48Swapped(int significantBits) {
  return WidenFor<3, Order::kReversed, false>(significantBits);
}
PixelRoutine WidenColor64(int significantBits) {
  return WidenFor<3, Order::kKept, true>(significantBits);
}
PixelRoutine WidenColor64Swapped(int significantBits) {
  return WidenFor<3, Order::kReversed, true>(significantBits);
}

const PixelRoutine kSwapColor24{SwapColor24};
const PixelRoutine kAlpha32{Alpha32};

}  // namespace tevrin::image
