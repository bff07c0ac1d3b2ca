// Gray mode 1 of the monochrome outputs: a gain (128 = x1) and an offset per
// Bayer cell, so that the pixels behind the four filter colours of a colour
// sensor can be levelled into one grey image.
#pragma once

#include <array>

class CDibImage;
struct ImageSettings;

namespace tevrin::image {

// Gains and offsets by CellIndex. The gray gains are bound to cells by their
// own names: G1 to (0,0), R1 to (0,1), B1 to (1,0), G2 to (1,1).
struct GrayCells {
  std::array<int, 4> gain{};
  std::array<int, 4> offset{};
};

GrayCells GrayCellsOf(const ImageSettings& settings);
void StoreGrayGains(const std::array<int, 4>& gains, ImageSettings& settings);

// v -> offset + gain x v / 128, limited to 0..255 for 8-bit frames and to the
// 12 significant bits (0..4095) for 16-bit frames.
void ApplyGrayGains(CDibImage& raw, int bayerMode, const GrayCells& cells);

// New gains from the frame: the (0,0) cell keeps 128, every other cell gets
// 128 x mean(0,0) / mean(cell). Means skip the dark and saturated samples (0
// and 255 in 8-bit frames, 0 and 4095 or more in 16-bit ones). A cell without
// a counted sample keeps its gain; without counted (0,0) samples nothing is
// measured and false is returned.
bool MeasureGrayGains(const CDibImage& raw, int bayerMode, std::array<int, 4>& gains);

}  // namespace tevrin::image
