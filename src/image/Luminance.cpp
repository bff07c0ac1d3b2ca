#include "image/Luminance.h"

#include "image/DibImage.h"

namespace tevrin::image {

bool WriteLuminance(CDibImage& gray, const CDibImage& color) {
  if (!gray.Bits() || !color.Bits() || gray.BitCount() != 8 || color.BitCount() != 24 ||
      gray.Width() != color.Width() || gray.Height() != color.Height()) {
    return false;
  }
  for (int y = 0; y < gray.Height(); ++y) {
    const uint8_t* in = color.Row(y);
    uint8_t* out = gray.Row(y);
    for (int x = 0; x < gray.Width(); ++x, in += 3) {
      out[x] = static_cast<uint8_t>((30 * in[2] + 59 * in[1] + 11 * in[0]) / 100);
    }
  }
  return true;
}

}  // namespace tevrin::image
