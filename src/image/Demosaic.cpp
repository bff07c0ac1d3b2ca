#include "image/Demosaic.h"

#include <algorithm>
#include <cstdint>

#include "image/BayerCells.h"
#include "image/DibImage.h"

namespace tevrin::image {
namespace {

// Fixed-point factors of the red and blue gains: gain x 1.28, so that 100 %
// gives 128 and the weighted sum (16 x the value) shifts back by 11.
struct Scale {
  int red;
  int blue;
  int max;
};

int GainFactor(int percent) {
  return std::clamp(percent, 0, 400) * 128 / 100;
}

// A pixel in cell row A finds the colour's cell row TA in its own row (0) or
// the row above (-1); the far sample row lies two beyond, on the other side.
// Columns follow the same rule.
template <int A, int TA>
constexpr int kNear = A == TA ? 0 : -1;
constexpr int FarOf(int near) {
  return near == 0 ? -2 : 1;
}

// 16 x the bilinear value of the colour at cell (TA, TB) for a pixel in cell (A, B).
template <int A, int B, int TA, int TB, class At>
inline int WeightedSum(const At& at) {
  constexpr int yn = kNear<A, TA>, yf = FarOf(yn);
  constexpr int xn = kNear<B, TB>, xf = FarOf(xn);
  return 9 * at(yn, xn) + 3 * (at(yf, xn) + at(yn, xf)) + at(yf, xf);
}

template <int A, int B, class At>
inline int GreenMean(const At& at) {
  if constexpr (A == B) {
    return (at(0, 0) + at(-1, -1)) >> 1;
  } else {
    return (at(-1, 0) + at(0, -1)) >> 1;
  }
}

inline int Scaled(int sum, int factor, int max) {
  return std::min((sum * factor) >> 11, max);
}

template <class Target>
inline void StorePixel(Target* out, int blueSum, int green, int redSum, const Scale& scale) {
  out[0] = static_cast<Target>(Scaled(blueSum, scale.blue, scale.max));
  out[1] = static_cast<Target>(green);
  out[2] = static_cast<Target>(Scaled(redSum, scale.red, scale.max));
}

template <int A, int B, class Target, class At>
inline void DemosaicPixel(const At& at, const Scale& scale, Target* out) {
  StorePixel(out, WeightedSum<A, B, kBlueCell.a, kBlueCell.b>(at), GreenMean<A, B>(at),
             WeightedSum<A, B, kRedCell.a, kRedCell.b>(at), scale);
}

// Samples of rows y-2 .. y+1 around column x, all inside the frame.
template <class Sample>
struct InteriorAt {
  const Sample* rows[4];  // rows[0] is row y-2
  int x;
  int operator()(int dy, int dx) const { return rows[dy + 2][x + dx]; }
};

// Samples around (y, x) with rows and columns outside the frame folded inward.
template <class Sample>
struct BorderAt {
  const CDibImage& raw;
  int y, x;

  static int Fold(int i, int size) {
    if (i < 0) {
      i += 4;
    } else if (i >= size) {
      i -= 4;
    }
    // Frames thinner than four samples: steps of two keep the colour.
    while (i >= size) i -= 2;
    while (i < 0) i += 2;
    return std::min(i, size - 1);
  }
  int operator()(int dy, int dx) const {
    const auto* row = reinterpret_cast<const Sample*>(raw.Row(Fold(y + dy, raw.Height())));
    return row[Fold(x + dx, raw.Width())];
  }
};

// Red or blue along one interior row, separably: the weights 9, 3, 3, 1 are
// (3, 1) down the column times (3, 1) along the row, so each column of the
// colour is combined once, V(c) = 3 near(c) + far(c), and a pixel's sum is
// 3 V(nearest column) + V(far column). The two pixels of a pair (even x,
// then x + 1) take their columns from three consecutive V of that colour,
// which roll along the row.
template <class Sample, int TA, int TB, int A, int B0>
class RowColour {
 public:
  explicit RowColour(const InteriorAt<Sample>& at)
      : near_(at.rows[kNear<A, TA> + 2]), far_(at.rows[FarOf(kNear<A, TA>) + 2]) {
    if constexpr (kShared) {
      left_ = V(at.x - 2);
      mid_ = V(at.x);
    } else {
      mid_ = V(at.x - 1);
    }
  }
  // Sums of the pixels x and x + 1, then one pair on.
  void Pair(int x, int& first, int& second) {
    const int right = V(x + (kShared ? 2 : 1));
    first = 3 * mid_ + (kShared ? left_ : right);
    second = kShared ? 3 * mid_ + right : 3 * right + mid_;
    left_ = mid_;
    mid_ = right;
  }
  // Sum of a last pixel x without partner.
  int Single(int x) const { return kShared ? 3 * mid_ + left_ : 3 * mid_ + V(x + 1); }

 private:
  // Whether both pixels of a pair have their nearest sample in column x.
  static constexpr bool kShared = B0 == TB;
  int V(int c) const { return 3 * near_[c] + far_[c]; }

  const Sample* near_;
  const Sample* far_;
  int left_ = 0, mid_ = 0;
};

// One interior row. Everything the loop reads is held by value and the
// output is declared unaliased: byte stores could otherwise alias the row
// pointers and factors and force them to be reloaded for every pixel.
template <class Sample, class Target, int Channels, int A, int B0>
void InteriorRow(InteriorAt<Sample> at, Target* __restrict out, int last, const Scale scale) {
  RowColour<Sample, kBlueCell.a, kBlueCell.b, A, B0> blue(at);
  RowColour<Sample, kRedCell.a, kRedCell.b, A, B0> red(at);
  int blue0, blue1, red0, red1;
  for (; at.x + 1 <= last; at.x += 2) {
    blue.Pair(at.x, blue0, blue1);
    red.Pair(at.x, red0, red1);
    StorePixel(out + at.x * Channels, blue0, GreenMean<A, B0>(at), red0, scale);
    const InteriorAt<Sample> next{{at.rows[0], at.rows[1], at.rows[2], at.rows[3]}, at.x + 1};
    StorePixel(out + next.x * Channels, blue1, GreenMean<A, 1 - B0>(next), red1, scale);
  }
  if (at.x == last) StorePixel(out + at.x * Channels, blue.Single(at.x), GreenMean<A, B0>(at), red.Single(at.x), scale);
}

template <class Sample, class Target>
using InteriorRowFunction = void (*)(InteriorAt<Sample>, Target*, int, Scale);

template <class Sample, class Target, int Channels>
InteriorRowFunction<Sample, Target> PickInteriorRow(int a, int b0) {
  static constexpr InteriorRowFunction<Sample, Target> kRows[4] = {
      InteriorRow<Sample, Target, Channels, 0, 0>, InteriorRow<Sample, Target, Channels, 0, 1>,
      InteriorRow<Sample, Target, Channels, 1, 0>, InteriorRow<Sample, Target, Channels, 1, 1>};
  return kRows[2 * a + b0];
}

template <class Sample, class Target>
void BorderPixel(const CDibImage& raw, int y, int x, int bayerMode, const Scale& scale, Target* out) {
  const BorderAt<Sample> at{raw, y, x};
  switch (CellIndex(CellAt(y, x, bayerMode))) {
    case 0:
      return DemosaicPixel<0, 0>(at, scale, out);
    case 1:
      return DemosaicPixel<0, 1>(at, scale, out);
    case 2:
      return DemosaicPixel<1, 0>(at, scale, out);
    default:
      return DemosaicPixel<1, 1>(at, scale, out);
  }
}

template <class Sample, class Target>
void Run(CDibImage& target, const CDibImage& raw, int bayerMode, const Scale& scale) {
  const int width = raw.Width(), height = raw.Height();
  const int channels = target.BytesPerPixel() / static_cast<int>(sizeof(Target));
  const bool hasInterior = width >= 5 && height >= 5;
  if (hasInterior) {
    // The first interior column is even, so its cell column is the mode's.
    const int b0 = (bayerMode >> 1) & 1;
    for (int y = 2; y <= height - 3; ++y) {
      InteriorAt<Sample> at{{}, 2};
      for (int i = 0; i < 4; ++i) at.rows[i] = reinterpret_cast<const Sample*>(raw.Row(y - 2 + i));
      const int a = (y & 1) ^ (bayerMode & 1);
      const auto row =
          channels == 3 ? PickInteriorRow<Sample, Target, 3>(a, b0) : PickInteriorRow<Sample, Target, 4>(a, b0);
      row(at, reinterpret_cast<Target*>(target.Row(y)), width - 3, scale);
    }
  }
  for (int y = 0; y < height; ++y) {
    auto* out = reinterpret_cast<Target*>(target.Row(y));
    const bool interiorRow = hasInterior && y >= 2 && y <= height - 3;
    for (int x = 0; x < width; ++x) {
      if (interiorRow && x == 2) x = width - 2;  // the interior pass wrote columns 2 .. width-3
      BorderPixel<Sample, Target>(raw, y, x, bayerMode, scale, out + x * channels);
    }
  }
}

}  // namespace

bool Demosaic(CDibImage& target, const CDibImage& raw, int bayerMode, DemosaicGains gains) {
  if (!raw.Bits() || !target.Bits() || raw.Width() != target.Width() || raw.Height() != target.Height()) {
    return false;
  }
  const int mode = bayerMode & 3;
  const int red = GainFactor(gains.red), blue = GainFactor(gains.blue);
  const int rawBits = raw.BitCount(), targetBits = target.BitCount();
  if (rawBits == 8 && (targetBits == 24 || targetBits == 32)) {
    Run<uint8_t, uint8_t>(target, raw, mode, Scale{red, blue, 0xFF});
    return true;
  }
  if (rawBits == 16 && (targetBits == 48 || targetBits == 64)) {
    Run<uint16_t, uint16_t>(target, raw, mode, Scale{red, blue, 0xFFFF});
    return true;
  }
  return false;
}

}  // namespace tevrin::image
