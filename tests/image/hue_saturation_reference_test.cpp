// The hue/saturation filter gives exactly what the integer HSL transform
// gives when worked through pixel by pixel with its tables (S, Lim, R, G) and
// the sector table, in every colour family and across a run of pixels longer
// than the filter takes apart at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "image/DibImage.h"
#include "image/OutputFilters.h"

namespace {


struct Bgr {
  int b, g, r;
};

// The transform step by step, for one pixel.
Bgr Reference(Bgr in, int hue, int saturation) {
  int l = static_cast<int>(static_cast<int64_t>(hue) * 65536 / 360) % 65536;
  if (l < 0) l += 65536;
  const int t = (l * 6) >> 8;
  int m = t % 512;
  if (m >= 256) m -= 512;
  const int s = ((t + 256) >> 9) % 3;
  int a = m + 510 * s;
  if (a < 0) a += 1530;
  if (a > 1529) a -= 1530;
  const int sectorOffset = a / 255, f0 = a % 255;

  int S[256], Lim[512], R[256], G[256];
  for (int i = 0; i < 256; ++i) S[i] = (i * (saturation + 256) * 256 + 32768) >> 16;
  for (int i = 0; i < 512; ++i) Lim[i] = std::min(i, 511 - i);
  for (int k = 1; k < 256; ++k) R[k] = 0xFF0000 / k;
  for (int k = 0; k < 256; ++k) G[k] = k * 0x010101;
  const struct {
    int mask, step;
  } sectors[6] = {{0xFF00FF, -1}, {0xFF0000, 256}, {0xFFFF00, -65536},
                  {0x00FF00, 1},  {0x00FFFF, -256}, {0x0000FF, 65536}};

  int max, other, base, delta;
  if (in.r >= in.g) {
    max = in.r, other = in.g, base = 1, delta = in.g - in.b;
  } else {
    max = in.g, other = in.r, base = 3, delta = in.b - in.r;
  }
  if (in.b > max) max = in.b, base = 5, delta = in.r - in.g;
  const int min = std::min(other, in.b);
  if (delta < 0) base -= 1, delta += max - min;
  const int L = max + min, C = max - min;
  const int C1 = std::min(S[C], Lim[L]);
  const int low = (L - C1) >> 1;
  const int C2 = ((C1 + L) >> 1) - low;
  int result = G[low];
  if (C != 0) {
    int f = ((delta * R[C] + 32768) >> 16) + f0;
    int sector = base + sectorOffset;
    if (f >= 255) f -= 255, sector += 1;
    result += (G[C2] & sectors[sector % 6].mask) + ((C2 * f + 128) >> 8) * sectors[sector % 6].step;
  }
  return {result & 0xFF, (result >> 8) & 0xFF, (result >> 16) & 0xFF};
}

// Every ordering of the channels, ties, greys and both ends of the range.
Bgr PixelAt(int x, int y) {
  if (y == 0 && x < 8) {
    const Bgr fixed[8] = {{0, 0, 0}, {255, 255, 255}, {0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {9, 200, 200}, {200, 9, 200}, {77, 77, 77}};
    return fixed[x];
  }
  return {(x * 37 + y * 11) & 255, (x * 101 + 50 + y * 29) & 255, (x * 59 + 200 + y * 53) & 255};
}

TEST(HueSaturation, EqualsTheTransformWorkedPixelByPixel) {
  constexpr int kWidth = 300, kHeight = 3;
  const struct {
    int hue, saturation;
  } settings[] = {{0, 40}, {1, 0}, {30, -255}, {-200, 255}, {181, -100}, {360, 17}, {-360, 255}};
  for (int bits : {24, 32, 48, 64}) {
    const int perPixel = bits / (bits > 32 ? 16 : 8);
    for (const auto& setting : settings) {
      SCOPED_TRACE(testing::Message() << bits << " bits, hue " << setting.hue << ", saturation " << setting.saturation);
      CDibImage image;
      ASSERT_TRUE(image.Create(kWidth, kHeight, static_cast<uint16_t>(bits)));
      const auto sampleAt = [&](int x, int y, int channel) -> int {
        const int i = x * perPixel + channel;
        return bits > 32 ? reinterpret_cast<uint16_t*>(image.Row(y))[i] : image.Row(y)[i];
      };
      const auto setSample = [&](int x, int y, int channel, int value) {
        const int i = x * perPixel + channel;
        if (bits > 32) {
          reinterpret_cast<uint16_t*>(image.Row(y))[i] = static_cast<uint16_t>((value << 8) | 0x5A);
        } else {
          image.Row(y)[i] = static_cast<uint8_t>(value);
        }
      };
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
          const Bgr in = PixelAt(x, y);
          setSample(x, y, 0, in.b), setSample(x, y, 1, in.g), setSample(x, y, 2, in.r);
          if (perPixel == 4) setSample(x, y, 3, 0x33);
        }
      }
      tevrin::image::ShiftHueSaturation(image, setting.hue, setting.saturation);
      const int scale = bits > 32 ? 256 : 1;
      int wrong = 0;
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
          const Bgr want = Reference(PixelAt(x, y), setting.hue, setting.saturation);
          const bool same = sampleAt(x, y, 0) == want.b * scale && sampleAt(x, y, 1) == want.g * scale &&
                            sampleAt(x, y, 2) == want.r * scale && (perPixel == 3 || sampleAt(x, y, 3) == 0);
          if (!same && wrong++ == 0) ADD_FAILURE() << "first difference at (" << x << ", " << y << ")";
        }
      }
      EXPECT_EQ(wrong, 0);
    }
  }
}

}  // namespace
