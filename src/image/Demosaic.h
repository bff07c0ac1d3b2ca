// Bilinear demosaic of a raw Bayer frame into B, G, R pixels. The output pixel
// at (y, x) is the colour of the point (y - 1/2, x - 1/2), the centre of the
// 2 x 2 block of rows y-1, y and columns x-1, x: green is the mean of the
// block's two green samples, red and blue weigh their four nearest samples
// 9, 3, 3, 1. Red and blue are scaled by their gains (percent, 100 = x1,
// 0..400), in fixed point with the factor gain x 1.28 and a shift by 11.
// Outside the frame a sample row or column moves 4 toward the inside, which
// keeps its colour. The fourth channel of 32- and 64-bit targets is left as is.
#pragma once

class CDibImage;

namespace tevrin::image {

struct DemosaicGains {
  int red = 100;
  int blue = 100;
};

// 8-bit raw into 24 or 32 bits, 16-bit raw into 48 or 64 bits, same size.
// Returns false (and writes nothing) for any other pair.
bool Demosaic(CDibImage& target, const CDibImage& raw, int bayerMode, DemosaicGains gains);

}  // namespace tevrin::image
