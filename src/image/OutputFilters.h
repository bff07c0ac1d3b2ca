// The filters on the output image of a colour mode: 8-bit and 16-bit
// monochrome, 24/32-bit and 48/64-bit colour (B, G, R and a fourth channel).
// ProcessFrame runs them in the order hue/saturation, gamma, contrast,
// sharpness, brightness, each only away from its neutral value. Every one
// works in place and takes its tables from `tables`.
#pragma once

#include "image/FilterTables.h"

class CDibImage;

namespace tevrin::image {

// Gamma, contrast or brightness: each of B, G, R (or the grey value) through
// the curve's table; the fourth channel is left.
void ApplyCurve(CDibImage& output, Curve curve, int setting, CFilterTables& tables);

// Unsharp masking with strength 1..30: inside a two-pixel border each sample
// o becomes o + s x (o - b) / 10, truncated toward zero and limited to the
// channel's range, where b is the mean of the 4 x 4 block of rows y-2..y+1
// and columns x-2..x+1 of the unsharpened image, kept in `copy` (made of the
// output's format). The border keeps its values.
void Sharpen(CDibImage& output, CDibImage& copy, int sharpness, CFilterTables& tables);

// Colour images only: an integer HSL transform on a hue circle of 1530 steps,
// hue turned by `hue` degrees (-360..360) and the colour's spread scaled by
// (saturation + 256) / 256. 48/64-bit images are transformed on the high byte
// of each channel. The fourth channel becomes 0.
void ShiftHueSaturation(CDibImage& output, int hue, int saturation);

}  // namespace tevrin::image
