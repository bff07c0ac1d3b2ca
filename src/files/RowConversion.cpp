#include "files/RowConversion.h"

#include <cstring>

#include "files/SignificantBits.h"

namespace tevrin::files {
namespace {

uint16_t LoadSample(const uint8_t* samples, size_t index) {
  return static_cast<uint16_t>(samples[2 * index] | samples[2 * index + 1] << 8);
}

void StoreSample(uint8_t* samples, size_t index, uint16_t value, bool bigEndian) {
  const auto high = static_cast<uint8_t>(value >> 8), low = static_cast<uint8_t>(value);
  samples[2 * index] = bigEndian ? high : low;
  samples[2 * index + 1] = bigEndian ? low : high;
}

bool IsColour(const StillImage& image) {
  return image.bitCount >= 24;
}

}  // namespace

size_t EightBitRowSize(const StillImage& image) {
  return static_cast<size_t>(image.width) * (IsColour(image) ? 3 : 1);
}

void ConvertRowToEightBit(const StillImage& image, int32_t row, int significantBits, uint8_t* out) {
  const uint8_t* source = image.Row(row);
  const size_t width = static_cast<size_t>(image.width);
  switch (image.bitCount) {
    case 8:
      std::memcpy(out, source, width);
      return;
    case 16:
      for (size_t x = 0; x < width; ++x) out[x] = ReduceSample(LoadSample(source, x), significantBits);
      return;
    case 24:
    case 32: {
      const size_t step = static_cast<size_t>(image.BytesPerPixel());
      for (size_t x = 0; x < width; ++x, source += step, out += 3) {
        out[0] = source[2];
        out[1] = source[1];
        out[2] = source[0];
      }
      return;
    }
    default: {
      const size_t channels = static_cast<size_t>(image.bitCount / 16);
      for (size_t x = 0; x < width; ++x, out += 3) {
        const size_t first = x * channels;
        out[0] = ReduceSample(LoadSample(source, first + 2), significantBits);
        out[1] = ReduceSample(LoadSample(source, first + 1), significantBits);
        out[2] = ReduceSample(LoadSample(source, first), significantBits);
      }
      return;
    }
  }
}

size_t RgbOrderRowSize(const StillImage& image) {
  return image.RowBytes();
}

void ConvertRowToRgbOrder(const StillImage& image, int32_t row, const SampleLayout& layout, uint8_t* out) {
  const uint8_t* source = image.Row(row);
  const size_t width = static_cast<size_t>(image.width);
  switch (image.bitCount) {
    case 8:
      std::memcpy(out, source, width);
      return;
    case 24:
    case 32: {
      const bool fourth = image.bitCount == 32;
      const size_t step = fourth ? 4 : 3;
      for (size_t x = 0; x < width; ++x, source += step, out += step) {
        out[0] = source[2];
        out[1] = source[1];
        out[2] = source[0];
        if (fourth) out[3] = layout.invertFourthByte ? static_cast<uint8_t>(~source[3]) : 0;
      }
      return;
    }
    default: {
      const size_t channels = static_cast<size_t>(image.bitCount / 16);
      const int bits = layout.significantBits;
      for (size_t x = 0; x < width; ++x) {
        const size_t first = x * channels;
        if (channels == 1) {
          StoreSample(out, first, WidenSample(LoadSample(source, first), bits), layout.bigEndian);
          continue;
        }
        for (size_t c = 0; c < 3; ++c) {
          StoreSample(out, first + c, WidenSample(LoadSample(source, first + 2 - c), bits), layout.bigEndian);
        }
        if (channels == 4) StoreSample(out, first + 3, 0xFFFF, layout.bigEndian);
      }
      return;
    }
  }
}

}  // namespace tevrin::files
