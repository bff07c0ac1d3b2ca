// The common shape of the per-pixel routines that CDibImage::Apply runs: one
// destination, one source, a rectangle already clipped to both images.
#pragma once

#include <cstdint>

namespace tevrin::image {

struct PixelTransfer {
  uint8_t* destination = nullptr;   // first byte of the destination image
  const uint8_t* source = nullptr;  // first byte of the source image
  // Source pixels; right and bottom are exclusive.
  int left = 0, top = 0, right = 0, bottom = 0;
  int destinationX = 0, destinationY = 0;
  int destinationBytes = 0, sourceBytes = 0;  // per pixel
  int destinationStride = 0, sourceStride = 0;
  // The destination area a scaling routine fills (from destinationX/Y on).
  int destinationWidth = 0, destinationHeight = 0;
  void* context = nullptr;  // settings, result record or table; plain conversions ignore it

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// How Apply fits the rectangle to the destination: a copying routine writes one
// destination pixel per source pixel, so the rectangle is clipped to both
// images; a scaling routine maps the source rectangle onto the whole
// destination, so only the source limits it.
enum class RoutineShape { kOneToOne, kScaleToDestination };

struct PixelRoutine {
  int (*run)(const PixelTransfer& transfer) = nullptr;
  RoutineShape shape = RoutineShape::kOneToOne;
};

}  // namespace tevrin::image
