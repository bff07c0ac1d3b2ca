// Small raw and colour frames with known pixels for the image tests.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "image/DibImage.h"
#include "image/ProcessFrame.h"
#include "settings/SettingsBlocks.h"

namespace tevrin::test {

// Sample (8- or 16-bit) or channel word/byte at x, y; row 0 is the top row.
int SampleAt(const CDibImage& image, int x, int y, int channel = 0);
void SetSample(CDibImage& image, int x, int y, int value, int channel = 0);
void Fill(CDibImage& image, const std::function<int(int x, int y)>& value);

// A raw frame whose every sample is the value of its colour: green, blue, red
// as the Bayer cells of `bayerMode` place them.
void FillColourPlanes(CDibImage& raw, int bayerMode, int green, int blue, int red);

struct Bgr {
  int blue, green, red;
  bool operator==(const Bgr&) const = default;
};
Bgr ColourAt(const CDibImage& image, int x, int y);

// Settings that change nothing: Bayer gains 100, gray gains 128, offsets 0,
// gray mode off, no automatic measurement.
ImageSettings NeutralSettings(int bayerMode);

// The six buffers of the colour modes, one size: Frame8, Frame16, Color24,
// Color32, Color48, Color64; images[i] is the output of mode i. Jobs carry
// the sharpening copy and the filter tables, no defect masks.
struct ModeImages {
  CDibImage images[6];
  CDibImage sharpenCopy;
  image::CFilterTables tables;
  ModeImages(int width, int height);
  image::FrameJob Job(ImageSettings& settings, int colorMode, image::MirrorFlags mirror = {});
  CDibImage& Raw(int colorMode) { return colorMode == 1 || colorMode >= 4 ? images[1] : images[0]; }
};

}  // namespace tevrin::test
