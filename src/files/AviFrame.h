// One output image as an AVI frame: 24-bit B, G, R pixels in rows of
// 3 x width bytes, the picture's bottom row first.
#pragma once

#include <cstdint>

#include "files/StillImage.h"

namespace tevrin::files {

// Writes image.height rows of 3 x image.width bytes into `frame`. Grey
// expands to three equal channels; 16-bit samples, grey or colour, keep the
// top eight of their `significantBits` (10, 12 or 16); 32-bit pixels lose
// their fourth byte. The image must pass IsWritable.
void ConvertToAviFrame(const StillImage& image, int significantBits, uint8_t* frame);

}  // namespace tevrin::files
