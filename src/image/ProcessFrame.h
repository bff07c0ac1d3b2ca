// ProcessFrame turns the raw frame of the instance into the output image of
// its colour mode, in place on the instance's preallocated buffers:
//
//   tevrin::image::ProcessFrame({images, &settings, ColorMode::Gray16, mirror});
//
// called by the acquisition thread inside the frame lock, right after
// SpreadRows. Steps in order: the mask and dot filters on the raw frame
// (inside the masks' lock), the gray gains or the luminance (monochrome
// modes), the software mirror, the white balance and the demosaic (colour
// modes), then on the output image hue/saturation (colour modes), gamma,
// contrast, sharpness and brightness, each filter only when its setting is
// away from neutral. The raw frame is Frame16 for modes of 16-bit samples,
// Frame8 for the others, and is the output of the monochrome modes. Missing
// or mis-sized buffers skip the steps that need them; nothing is allocated
// once the tables of the current filter settings are built.
#pragma once

#include "image/ColorMode.h"
#include "image/DefectMasks.h"
#include "image/FilterTables.h"

struct ImageSettings;
class CDibImage;

namespace tevrin::image {

// The instance's images of the same names that the conversion reads and writes.
struct FrameBuffers {
  CDibImage* frame8 = nullptr;
  CDibImage* frame16 = nullptr;
  CDibImage* color24 = nullptr;
  CDibImage* color32 = nullptr;
  CDibImage* color48 = nullptr;
  CDibImage* color64 = nullptr;
  CDibImage* sharpenCopy = nullptr;  // of the output's format
};

// The mirror flags as set by the application, and whether the sensor mirrors
// in each direction itself (then the pipeline does not).
struct MirrorFlags {
  bool horizontal = false;
  bool vertical = false;
  bool horizontalInSensor = false;
  bool verticalInSensor = false;
};

struct FrameJob {
  FrameBuffers images;
  // Read once per frame; the gray auto gain, its request counter, the Bayer
  // gains and the automatic white-balance flags are written back.
  ImageSettings* settings = nullptr;
  ColorMode colorMode = ColorMode::Gray8;
  MirrorFlags mirror;
  RawFilterSettings rawFilters;
  // Needed by the mask and dot filters, which are skipped without it.
  DefectMaskAccess* masks = nullptr;
  // Needed by the filters of the output image, which are skipped without it.
  CFilterTables* tables = nullptr;
};

// Returns true when a measurement changed settings, so that the caller
// refreshes an open image dialog.
bool ProcessFrame(const FrameJob& job);

}  // namespace tevrin::image
