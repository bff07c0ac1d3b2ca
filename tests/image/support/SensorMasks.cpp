#include "support/SensorMasks.h"

#include "support/Frames.h"

namespace tevrin::test {

SensorMasks::SensorMasks() {
  for (int bits : {8, 16}) {
    Depth& depth = Of(bits);
    for (CDibImage* image : {&depth.dark, &depth.white, &depth.hot, &depth.cold, &depth.marks}) {
      image->Create(640, 512, static_cast<uint16_t>(bits));
    }
    Fill(depth.white, [&](int, int) { return bits == 8 ? 255 : 4095; });
  }
}

void SensorMasks::WithDefectMasks(int bitCount, const std::function<void(const image::DefectMasks&)>& use) {
  ++loans;
  lastBits = bitCount;
  use(Of(bitCount).View());
}

}  // namespace tevrin::test
