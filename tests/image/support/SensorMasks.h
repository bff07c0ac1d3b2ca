// Defect masks of both depths for the raw-frame filter tests, lent to the
// pipeline the way a camera instance lends its own.
#pragma once

#include "image/DefectMasks.h"
#include "image/DibImage.h"

namespace tevrin::test {

// As an instance starts: dark 0, white at full scale (255 or 4095), no marks.
struct SensorMasks : image::DefectMaskAccess {
  struct Depth {
    CDibImage dark, white, hot, cold, marks;
    image::DefectMasks View() { return {&dark, &white, &hot, &cold, &marks}; }
  };

  SensorMasks();
  Depth& Of(int bits) { return bits == 16 ? sixteen : eight; }
  void WithDefectMasks(int bitCount, const std::function<void(const image::DefectMasks&)>& use) override;

  Depth eight, sixteen;
  int loans = 0;
  int lastBits = 0;
};

}  // namespace tevrin::test
