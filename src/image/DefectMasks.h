// What the raw-frame filters (flat-field correction and defect-pixel
// replacement) read besides the frame: the references and defect maps of one
// depth, and where the frame lies on the sensor those images cover.
#pragma once

#include <functional>

class CDibImage;

namespace tevrin::image {

// The references and maps of one depth (8 or 16 bits), all of the sensor's
// full size; `marks` is the dot filter's scratch of the same depth.
struct DefectMasks {
  const CDibImage* dark = nullptr;
  const CDibImage* white = nullptr;
  const CDibImage* hot = nullptr;
  const CDibImage* cold = nullptr;
  CDibImage* marks = nullptr;
};

// Frame pixel (y, x) was read from sensor pixel (top + y x step, left + x x step):
// the effective window's start, and the subsampling divisor.
struct SensorWindow {
  int left = 0;
  int top = 0;
  int step = 1;
};

struct RawFilterSettings {
  bool mask = false;  // flat-field correction
  bool dot = false;   // defect-pixel replacement
  SensorWindow window;
};

// Whether every pixel of `frame` has its sensor position in `sensorImage`,
// an image of the same depth with pixels.
bool CoversFrame(const CDibImage& sensorImage, const CDibImage& frame, SensorWindow window);

// Lends the masks of one depth for the length of `use`, holding whatever keeps
// a reference from being replaced in the middle of a correction.
class DefectMaskAccess {
 public:
  virtual void WithDefectMasks(int bitCount, const std::function<void(const DefectMasks&)>& use) = 0;

 protected:
  ~DefectMaskAccess() = default;
};

}  // namespace tevrin::image
