// The routines that widen samples of 10 or 12 significant bits to the full
// 16-bit word, and those that reorder the bytes of colour pixels for formats
// that store R, G, B.
#include "image/OutputRoutines.h"
#include "image/PixelWalk.h"

namespace tevrin::image {
namespace {

enum class Channels { kBgr, kRgb };

template <int Shift>
inline void StoreWidened(uint8_t* d, const uint8_t* s) {
  StoreWord(d, static_cast<uint16_t>(LoadWord(s) << Shift));
}

template <int Shift>
int WidenGray(const PixelTransfer& t) {
  return WalkPixels(t, RowOrder::kSame, [](uint8_t* d, const uint8_t* s) { StoreWidened<Shift>(d, s); });
}

// Widens B, G, R into the order `order`; with `opaque` a fourth word 0xFFFF follows.
template <int Shift, Channels order, bool opaque>
int WidenColor(const PixelTransfer& t) {
  return WalkPixels(t, RowOrder::kSame, [](uint8_t* d, const uint8_t* s) {
    for (int c = 0; c < 3; ++c) StoreWidened<Shift>(d + 2 * (order == Channels::kBgr ? c : 2 - c), s + 2 * c);
    if (opaque) StoreWord(d + 6, 0xFFFF);
  });
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

// The routine for 10 significant bits (shift 6) or 12 (shift 4).
template <template <int> class Widening>
PixelRoutine ForBits(int significantBits) {
  switch (significantBits) {
    case 10:
      return {Widening<6>::run};
    case 12:
      return {Widening<4>::run};
    default:
      return {};
  }
}

template <int Shift>
struct Gray {
  static constexpr auto run = WidenGray<Shift>;
};
template <int Shift>
struct Color48 {
  static constexpr auto run = WidenColor<Shift, Channels::kBgr, false>;
};
template <int Shift>
struct Color48Swapped {
  static constexpr auto run = WidenColor<Shift, Channels::kRgb, false>;
};
template <int Shift>
struct Color64 {
  static constexpr auto run = WidenColor<Shift, Channels::kBgr, true>;
};
template <int Shift>
struct Color64Swapped {
  static constexpr auto run = WidenColor<Shift, Channels::kRgb, true>;
};

}  // namespace

PixelRoutine WidenGray16(int significantBits) {
  return ForBits<Gray>(significantBits);
}
PixelRoutine WidenColor48(int significantBits) {
  return ForBits<Color48>(significantBits);
}
PixelRoutine WidenColor48Swapped(int significantBits) {
  return ForBits<Color48Swapped>(significantBits);
}
PixelRoutine WidenColor64(int significantBits) {
  return ForBits<Color64>(significantBits);
}
PixelRoutine WidenColor64Swapped(int significantBits) {
  return ForBits<Color64Swapped>(significantBits);
}

const PixelRoutine kSwapColor24{SwapColor24};
const PixelRoutine kAlpha32{Alpha32};

}  // namespace tevrin::image
