// Turns one row of a StillImage into the sample layout a file format stores.
// Each routine writes exactly one row of its output size into `out`.
#pragma once

#include <cstddef>
#include <cstdint>

#include "files/StillImage.h"

namespace tevrin::files {

// 8-bit samples: one grey byte per pixel for 8- and 16-bit images, R, G, B
// for colour images (the fourth byte or word is dropped).
size_t EightBitRowSize(const StillImage& image);
void ConvertRowToEightBit(const StillImage& image, int32_t row, int significantBits, uint8_t* out);

// The image's own sample depth with colour channels in R, G, B order and
// 16-bit samples widened to the full word.
struct SampleLayout {
  int significantBits = 16;
  bool bigEndian = false;
  // The fourth byte of 32-bit pixels: the inverse of the stored byte (an
  // opaque alpha for the zero the pipeline stores) or always zero. The fourth
  // word of 64-bit pixels is always 0xFFFF.
  bool invertFourthByte = false;
};
size_t RgbOrderRowSize(const StillImage& image);
void ConvertRowToRgbOrder(const StillImage& image, int32_t row, const SampleLayout& layout, uint8_t* out);

}  // namespace tevrin::files
