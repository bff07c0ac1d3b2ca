#include "files/AviFrame.h"

#include <cstddef>
#include <cstring>

#include "files/SignificantBits.h"

namespace tevrin::files {
namespace {

uint16_t Sample(const uint8_t* samples, size_t index) {
  uint16_t value;
  std::memcpy(&value, samples + 2 * index, sizeof value);
  return value;
}

// One row each; `out` takes 3 x width bytes.
template <typename Pixel>
void ConvertRow(const uint8_t* source, size_t width, uint8_t* out, Pixel pixel) {
  for (size_t x = 0; x < width; ++x, out += 3) pixel(source, x, out);
}

void ConvertRow(const StillImage& image, const uint8_t* source, int significantBits, uint8_t* out) {
  const size_t width = static_cast<size_t>(image.width);
  switch (image.bitCount) {
    case 8:
      return ConvertRow(source, width, out, [](const uint8_t* s, size_t x, uint8_t* d) { d[0] = d[1] = d[2] = s[x]; });
    case 16:
      return ConvertRow(source, width, out, [significantBits](const uint8_t* s, size_t x, uint8_t* d) {
        d[0] = d[1] = d[2] = ReduceSample(Sample(s, x), significantBits);
      });
    case 24:
      std::memcpy(out, source, 3 * width);
      return;
    case 32:
      return ConvertRow(source, width, out,
                        [](const uint8_t* s, size_t x, uint8_t* d) { std::memcpy(d, s + 4 * x, 3); });
    default: {
      const size_t channels = static_cast<size_t>(image.bitCount / 16);
      return ConvertRow(source, width, out, [significantBits, channels](const uint8_t* s, size_t x, uint8_t* d) {
        for (size_t c = 0; c < 3; ++c) d[c] = ReduceSample(Sample(s, x * channels + c), significantBits);
      });
    }
  }
}

}  // namespace

void ConvertToAviFrame(const StillImage& image, int significantBits, uint8_t* frame) {
  const size_t rowBytes = 3 * static_cast<size_t>(image.width);
  for (int32_t row = 0; row < image.height; ++row) {
    ConvertRow(image, image.Row(image.height - 1 - row), significantBits, frame + static_cast<size_t>(row) * rowBytes);
  }
}

}  // namespace tevrin::files
