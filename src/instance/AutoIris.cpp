#include "instance/AutoIris.h"

#include <algorithm>
#include <cstdint>

#include "device/TevrinU3K5Base.h"
#include "image/ExposureCorrection.h"

namespace {

// Below this a factor cannot move the gain by a whole step.
constexpr int kLowestScaledGain = 4;

// The product truncated toward zero; the values here are small and positive,
// the 64-bit intermediate only keeps a wild device answer from overflowing.
int64_t Scaled(int value, double factor) {
  return static_cast<int64_t>(static_cast<double>(value) * factor);
}

// Below the minimum a value becomes the minimum, at or above the maximum the maximum.
int WithinRange(int64_t value, int min, int max) {
  if (value < min) return min;
  if (value >= max) return max;
  return static_cast<int>(value);
}

int NewGain(CTevrinU3K5Base& device, double factor) {
  const int gain = std::max(device.GetGlobalGain(), kLowestScaledGain);
  return WithinRange(Scaled(gain, factor), device.GetGlobalGainMin(), device.GetGlobalGainMax());
}

// The device takes a 16-bit exposure.
int NewExposure(CTevrinU3K5Base& device, double factor) {
  int64_t scaled = Scaled(device.GetExposureTime(), factor) & 0xFFFF;
  if (scaled == 0) scaled = 1;
  return WithinRange(scaled, device.GetExposureTimeMin(), device.GetExposureTimeMax());
}

}  // namespace

std::optional<AutoIrisChange> StepAutoIris(int mode, const CDibImage& raw, CTevrinU3K5Base& device) {
  if (mode != kAutoIrisExposure && mode != kAutoIrisGain) return std::nullopt;
  const std::optional<double> factor = tevrin::image::ExposureCorrection(raw);
  if (!factor || !tevrin::image::CallsForChange(*factor)) return std::nullopt;
  if (mode == kAutoIrisGain) {
    const int gain = NewGain(device, *factor);
    if (!device.SetGlobalGain(gain)) return std::nullopt;
    return AutoIrisChange{kAutoIrisGain, gain};
  }
  const int exposure = NewExposure(device, *factor);
  if (!device.SetExposure(exposure)) return std::nullopt;
  return AutoIrisChange{kAutoIrisExposure, exposure};
}
