// The automatic exposure and gain control: once for each processed frame,
// while the auto-iris mode is 1 (exposure) or 2 (global gain), the brightness
// of the raw frame moves the camera's exposure or gain by a factor. Every
// frame is judged afresh; nothing is kept between frames.
#pragma once

#include <optional>

class CDibImage;
class CTevrinU3K5Base;

enum AutoIrisMode : int { kAutoIrisOff = 0, kAutoIrisExposure = 1, kAutoIrisGain = 2 };

// What one step sent to the camera.
struct AutoIrisChange {
  AutoIrisMode mode;  // kAutoIrisExposure or kAutoIrisGain
  int value;          // the exposure in device units, or the global gain
};

// Judges `raw` and, in mode 1 or 2 when the factor lies outside (0.6, 1.2),
// scales the device's exposure or global gain by it (truncated), within the
// device's range: the gain from at least 4, the exposure kept to 16 bits and
// at least 1. Nothing, and the device untouched, in any other mode, for a raw
// image without 8- or 16-bit pixels, when the factor calls for no change, or
// when the device refuses the new value (the instance then keeps its own).
std::optional<AutoIrisChange> StepAutoIris(int mode, const CDibImage& raw, CTevrinU3K5Base& device);
