#include "FrameLayout.h"

#include <TevrinSdk_Halden.h>

#include <cstdint>
#include <cstring>

namespace tevrin::tool {
namespace {

// Samples per pixel that carry light; the fourth of 32- and 64-bit pixels is alpha.
int ColourChannels(int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 8:
    case 16:
      return 1;
    default:
      return 3;
  }
}

int SampleBytes(int bitsPerPixel) {
  return bitsPerPixel == 16 || bitsPerPixel == 48 || bitsPerPixel == 64 ? 2 : 1;
}

}  // namespace

FrameLayout CurrentLayout(int handle) {
  // The window is stored undivided; subsampling modes 1, 2, 3 (and 17, 18, 19)
  // divide both sides by 2, 4, 8.
  int shift = Tevrin_GetSubSample(handle) & 3;
  return {Tevrin_Width(handle) >> shift, Tevrin_Height(handle) >> shift, Tevrin_GetColorMode(handle)};
}

double MeanLevel(std::span<const BYTE> pixels, const FrameLayout& layout) {
  const int sampleBytes = SampleBytes(layout.bitsPerPixel);
  const int channels = ColourChannels(layout.bitsPerPixel);
  const int pixelBytes = layout.bitsPerPixel / 8;
  if (layout.width <= 0 || layout.height <= 0 || pixels.size() < layout.Size()) return 0;
  uint64_t sum = 0;
  for (int y = 0; y < layout.height; ++y) {
    const BYTE* row = pixels.data() + y * layout.Stride();
    for (int x = 0; x < layout.width; ++x) {
      const BYTE* pixel = row + x * pixelBytes;
      for (int channel = 0; channel < channels; ++channel) {
        if (sampleBytes == 1) {
          sum += pixel[channel];
        } else {
          uint16_t sample;
          std::memcpy(&sample, pixel + 2 * channel, sizeof sample);  // little-endian, as the SDK stores it
          sum += sample;
        }
      }
    }
  }
  return static_cast<double>(sum) / (static_cast<double>(layout.width) * layout.height * channels);
}

}  // namespace tevrin::tool
