// How far the automatic exposure wants the picture's brightness moved: five
// regions of the raw frame (the four corners' inner tenths and the centre)
// each vote by their mean level, and the votes add up to one factor for the
// exposure or the gain.
#pragma once

#include <optional>

class CDibImage;

namespace tevrin::image {

// The correction factor for `raw`, 8-bit samples or 16-bit samples of 12-bit
// data (judged by their upper 8 bits). Each region's integer mean level v
// votes -0.15 above 200, -0.10 above 160, +0.10 below 50, +0.05 below 100;
// the first vote is added to 1.0 and the others follow in region order, in
// double precision, so that rounding decides the exact boundary cases.
// Nothing for an image without pixels or of another sample width.
std::optional<double> ExposureCorrection(const CDibImage& raw);

// Factors in (0.6, 1.2) leave the camera as it is.
inline bool CallsForChange(double factor) {
  return !(factor > 0.6 && factor < 1.2);
}

}  // namespace tevrin::image
