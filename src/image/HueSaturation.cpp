// Hue and saturation in integer HSL on a hue circle of 1530 steps: six
// sectors of 255, in each of which one channel rises or falls between the
// other two. Per pixel only table look-ups, shifts and multiplications, no
// division, and nothing shared: two cameras with different saturations never
// meet.
#include <array>
#include <cstdint>

#include "image/DibImage.h"
#include "image/OutputFilters.h"
#include "image/VectorClones.h"

namespace tevrin::image {
namespace {

constexpr int kSectorSteps = 255;
constexpr int kCircle = 6 * kSectorSteps;

// R(k) = 0xFF0000 / k: the position of a hue inside its sector without a division.
constexpr std::array<int32_t, 256> kReciprocal = [] {
  std::array<int32_t, 256> table{};
  for (int k = 1; k < 256; ++k) table[k] = 0xFF0000 / k;
  return table;
}();

// Per sector, the channels it holds at full chroma (mask) and the one that
// moves (step): magenta -> red (blue falls), red -> yellow (green rises),
// yellow -> green (red falls), green -> cyan (blue rises), cyan -> blue
// (green falls), blue -> magenta (red rises). Twice round, so that a base
// sector (0..5) plus a turn (0..5) plus one needs no modulo.
constexpr int32_t kSectorMask[12] = {0xFF00FF, 0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x0000FF,
                                     0xFF00FF, 0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x0000FF};
constexpr int32_t kSectorStep[12] = {-1, 256, -65536, 1, -256, 65536, -1, 256, -65536, 1, -256, 65536};

constexpr int32_t Grey(int k) {
  return k * 0x010101;
}

// The hue turn as whole sectors and steps into the next one, and the
// saturation as the factor of S(C) = (C x factor + 32768) >> 16.
struct Transform {
  int sectors = 0;
  int steps = 0;
  int scaleFactor = 256 * 256;
};

Transform TransformOf(int hue, int saturation) {
  int l = static_cast<int>(static_cast<int64_t>(hue) * 65536 / 360) % 65536;
  if (l < 0) l += 65536;
  const int t = (l * 6) >> 8;
  int m = t % 512;
  if (m >= 256) m -= 512;
  const int s = ((t + 256) >> 9) % 3;
  int a = m + 510 * s;
  if (a < 0) a += kCircle;
  if (a >= kCircle) a -= kCircle;
  return {a / kSectorSteps, a % kSectorSteps, (saturation + 256) * 256};
}

// B, G, R in, the packed result 0x00RRGGBB out. Choices are plain selections
// and the table reads plain indexing, so that a run of pixels vectorises
// (the reads become gathers). A grey pixel (no chroma) needs no case of its
// own: its spread is 0, which adds nothing.
TEVRIN_INLINE_INTO_CLONES int32_t Shift(int b, int g, int r, const Transform& t) {
  const bool redLeads = r >= g;
  const int leader = redLeads ? r : g;
  const int other = redLeads ? g : r;
  const bool blueLeads = b > leader;
  const int max = blueLeads ? b : leader;
  int base = blueLeads ? 5 : redLeads ? 1 : 3;
  int delta = blueLeads ? r - g : redLeads ? g - b : b - r;
  const int min = other < b ? other : b;
  const int lightness = max + min, chroma = max - min;
  base -= delta < 0;
  delta += delta < 0 ? chroma : 0;
  const int limit = lightness < 511 - lightness ? lightness : 511 - lightness;
  const int scale = (chroma * t.scaleFactor + 32768) >> 16;
  const int scaled = scale < limit ? scale : limit;
  const int low = (lightness - scaled) >> 1;
  const int spread = ((scaled + lightness) >> 1) - low;
  int f = ((delta * kReciprocal[chroma] + 32768) >> 16) + t.steps;
  const int wraps = f >= kSectorSteps;
  f -= wraps ? kSectorSteps : 0;
  const int sector = base + t.sectors + wraps;
  return Grey(low) + (Grey(spread) & kSectorMask[sector]) + ((spread * f + 128) >> 8) * kSectorStep[sector];
}

// Pixels are taken apart into channel runs of this many, small enough for the stack.
constexpr int kRun = 256;

TEVRIN_VECTOR_CLONES
void ShiftRun(const int32_t* __restrict b, const int32_t* __restrict g, const int32_t* __restrict r,
              int32_t* __restrict result, int count, Transform t) {
  for (int i = 0; i < count; ++i) result[i] = Shift(b[i], g[i], r[i], t);
}

template <typename Sample, int kPerPixel>
void ShiftPixels(CDibImage& image, const Transform& t) {
  constexpr int kShift = sizeof(Sample) == 1 ? 0 : 8;
  alignas(64) int32_t b[kRun], g[kRun], r[kRun], result[kRun];
  const int width = image.Width(), height = image.Height();
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<Sample*>(image.Row(y));
    for (int start = 0; start < width; start += kRun) {
      const int count = width - start < kRun ? width - start : kRun;
      Sample* p = row + start * kPerPixel;
      for (int i = 0; i < count; ++i) {
        b[i] = p[i * kPerPixel] >> kShift;
        g[i] = p[i * kPerPixel + 1] >> kShift;
        r[i] = p[i * kPerPixel + 2] >> kShift;
      }
      ShiftRun(b, g, r, result, count, t);
      for (int i = 0; i < count; ++i) {
        p[i * kPerPixel] = static_cast<Sample>((result[i] & 0xFF) << kShift);
        p[i * kPerPixel + 1] = static_cast<Sample>(((result[i] >> 8) & 0xFF) << kShift);
        p[i * kPerPixel + 2] = static_cast<Sample>(((result[i] >> 16) & 0xFF) << kShift);
        if constexpr (kPerPixel == 4) p[i * kPerPixel + 3] = 0;
      }
    }
  }
}

}  // namespace

void ShiftHueSaturation(CDibImage& output, int hue, int saturation) {
  if (!output.Bits()) return;
  const Transform t = TransformOf(hue, saturation);
  switch (output.BitCount()) {
    case 24:
      return ShiftPixels<uint8_t, 3>(output, t);
    case 32:
      return ShiftPixels<uint8_t, 4>(output, t);
    case 48:
      return ShiftPixels<uint16_t, 3>(output, t);
    case 64:
      return ShiftPixels<uint16_t, 4>(output, t);
  }
}

}  // namespace tevrin::image
