// The filters that work on the raw frame (Frame8 or Frame16) before it is
// mirrored or demosaiced. 16-bit frames carry the sensor's 12-bit values.
#pragma once

#include "image/DefectMasks.h"

class CDibImage;

namespace tevrin::image {

// Flat-field correction against the dark (d) and white (w) references at each
// pixel's sensor position. 8-bit: p -> (p - d) x 256 / (w - d), limited to
// 0..255, where w != d. 16-bit: p -> (p - d) x 4096 / (w - d), limited to
// 0..4095, where w > d: the result stays on the frame's 12-bit scale, so a
// corrected frame is as bright as an uncorrected one. Other pixels are left.
// Does nothing when a reference is of another depth or the window leaves it.
void ApplyMaskFilter(CDibImage& frame, const DefectMasks& masks, SensorWindow window);

// Defect-pixel replacement. Marks the pixels of rows and columns 4..size-5
// that the hot or cold map marks at their sensor position, or that differ from
// the mean of their four neighbours by 30 (8-bit) or 480 (16-bit) or more;
// then replaces each mark by the mean of the nearest unmarked pixels to the
// left, right, above and below. Unmarked pixels never change. Does nothing
// when the maps or marks are of another depth, the window leaves the maps or
// the frame is wider than 4096 pixels.
void ApplyDotFilter(CDibImage& frame, const DefectMasks& masks, SensorWindow window);

}  // namespace tevrin::image
