// The software mirror of a raw frame, for sensors that cannot mirror themselves.
#pragma once

class CDibImage;

namespace tevrin::image {

// Horizontal reverses the pixel order of every row, vertical the row order.
// Works in place by swapping pixel pairs, so no second frame is needed.
void MirrorFrame(CDibImage& raw, bool horizontal, bool vertical);

}  // namespace tevrin::image
