// Hue and saturation in integer HSL on a hue circle of 1530 steps: six
// sectors of 255, in each of which one channel rises or falls between the
// other two. Per pixel only table look-ups, shifts and multiplications.
#include <array>
#include <cstdint>

#include "image/DibImage.h"
#include "image/OutputFilters.h"

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

// Which channels a sector holds at full chroma (mask) and which one moves (step).
struct Sector {
  int32_t mask;
  int32_t step;
};
// Twice round, so that a base sector (0..5) plus a turn (0..5) plus one
// needs no modulo.
constexpr Sector kSectors[12] = {
    {0xFF00FF, -1},      // magenta -> red: blue falls
    {0xFF0000, 256},     // red -> yellow: green rises
    {0xFFFF00, -65536},  // yellow -> green: red falls
    {0x00FF00, 1},       // green -> cyan: blue rises
    {0x00FFFF, -256},    // cyan -> blue: green falls
    {0x0000FF, 65536},   // blue -> magenta: red rises
    {0xFF00FF, -1},     {0xFF0000, 256}, {0xFFFF00, -65536}, {0x00FF00, 1}, {0x00FFFF, -256}, {0x0000FF, 65536},
};

constexpr int32_t Grey(int k) {
  return k * 0x010101;
}

// The hue turn as whole sectors and steps into the next one.
struct HueTurn {
  int sectors = 0;
  int steps = 0;
};

HueTurn TurnOf(int hue) {
  int l = static_cast<int>(static_cast<int64_t>(hue) * 65536 / 360) % 65536;
  if (l < 0) l += 65536;
  const int t = (l * 6) >> 8;
  int m = t % 512;
  if (m >= 256) m -= 512;
  const int s = ((t + 256) >> 9) % 3;
  int a = m + 510 * s;
  if (a < 0) a += kCircle;
  if (a >= kCircle) a -= kCircle;
  return {a / kSectorSteps, a % kSectorSteps};
}

struct Transform {
  HueTurn turn;
  const int32_t* scale;  // S(C)
};

// B, G, R in, the packed result 0x00RRGGBB out. Choices are plain selections
// the compiler turns into conditional moves: the colours of a frame do not
// follow a pattern a branch predictor could learn. A grey pixel (no chroma)
// needs no case of its own: its spread is 0, which adds nothing.
int32_t Shift(int b, int g, int r, const Transform& t) {
  const bool redLeads = r >= g;
  const int leader = redLeads ? r : g;
  const int other = redLeads ? g : r;
  const bool blueLeads = b > leader;
  const int max = blueLeads ? b : leader;
  int base = blueLeads ? 5 : redLeads ? 1 : 3;
  int delta = blueLeads ? r - g : redLeads ? g - b : b - r;
  const int min = other < b ? other : b;
  base -= delta < 0;
  delta += delta < 0 ? max - min : 0;
  const int lightness = max + min, chroma = max - min;
  const int limit = lightness < 511 - lightness ? lightness : 511 - lightness;
  const int scaled = t.scale[chroma] < limit ? t.scale[chroma] : limit;
  const int low = (lightness - scaled) >> 1;
  const int spread = ((scaled + lightness) >> 1) - low;
  int f = ((delta * kReciprocal[chroma] + 32768) >> 16) + t.turn.steps;
  const bool wraps = f >= kSectorSteps;
  f -= wraps ? kSectorSteps : 0;
  const Sector& s = kSectors[base + t.turn.sectors + wraps];
  return Grey(low) + (Grey(spread) & s.mask) + ((spread * f + 128) >> 8) * s.step;
}

template <typename Sample>
void ShiftPixels(CDibImage& image, const Transform& t) {
  constexpr int kShift = sizeof(Sample) == 1 ? 0 : 8;
  const int perPixel = image.BitCount() / (8 * static_cast<int>(sizeof(Sample)));
  const int width = image.Width(), height = image.Height();
  for (int y = 0; y < height; ++y) {
    auto* p = reinterpret_cast<Sample*>(image.Row(y));
    for (int x = 0; x < width; ++x, p += perPixel) {
      const int32_t result = Shift(p[0] >> kShift, p[1] >> kShift, p[2] >> kShift, t);
      p[0] = static_cast<Sample>((result & 0xFF) << kShift);
      p[1] = static_cast<Sample>(((result >> 8) & 0xFF) << kShift);
      p[2] = static_cast<Sample>(((result >> 16) & 0xFF) << kShift);
      if (perPixel == 4) p[3] = 0;
    }
  }
}

}  // namespace

void ShiftHueSaturation(CDibImage& output, int hue, int saturation, CFilterTables& tables) {
  if (!output.Bits()) return;
  const Transform t{TurnOf(hue), tables.SaturationScale(saturation)};
  if (output.BitCount() == 24 || output.BitCount() == 32) ShiftPixels<uint8_t>(output, t);
  if (output.BitCount() == 48 || output.BitCount() == 64) ShiftPixels<uint16_t>(output, t);
}

}  // namespace tevrin::image
