#include "image/DefectMasks.h"

#include "image/DibImage.h"

namespace tevrin::image {

bool CoversFrame(const CDibImage& sensorImage, const CDibImage& frame, SensorWindow window) {
  if (!sensorImage.Bits() || !frame.Bits() || sensorImage.BitCount() != frame.BitCount()) return false;
  if (window.step < 1 || window.left < 0 || window.top < 0) return false;
  const int64_t right = window.left + int64_t{frame.Width() - 1} * window.step;
  const int64_t bottom = window.top + int64_t{frame.Height() - 1} * window.step;
  return right < sensorImage.Width() && bottom < sensorImage.Height();
}

}  // namespace tevrin::image
