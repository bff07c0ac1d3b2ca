#include "support/Frames.h"

#include <cstring>

#include "image/BayerCells.h"

namespace tevrin::test {
namespace {

bool Wide(const CDibImage& image) {
  return image.BitCount() == 16 || image.BitCount() == 48 || image.BitCount() == 64;
}

uint8_t* At(const CDibImage& image, int x, int y, int channel) {
  const int sampleBytes = Wide(image) ? 2 : 1;
  return image.Row(y) + x * image.BytesPerPixel() + channel * sampleBytes;
}

}  // namespace

int SampleAt(const CDibImage& image, int x, int y, int channel) {
  const uint8_t* p = At(image, x, y, channel);
  return Wide(image) ? p[0] | p[1] << 8 : p[0];
}

void SetSample(CDibImage& image, int x, int y, int value, int channel) {
  uint8_t* p = At(image, x, y, channel);
  p[0] = static_cast<uint8_t>(value);
  if (Wide(image)) p[1] = static_cast<uint8_t>(value >> 8);
}

void Fill(CDibImage& image, const std::function<int(int x, int y)>& value) {
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) SetSample(image, x, y, value(x, y));
  }
}

void FillColourPlanes(CDibImage& raw, int bayerMode, int green, int blue, int red) {
  Fill(raw, [&](int x, int y) {
    const image::BayerCell cell = image::CellAt(y, x, bayerMode);
    if (cell.a == cell.b) return green;
    return cell.a == 0 ? blue : red;
  });
}

Bgr ColourAt(const CDibImage& image, int x, int y) {
  return {SampleAt(image, x, y, 0), SampleAt(image, x, y, 1), SampleAt(image, x, y, 2)};
}

ImageSettings NeutralSettings(int bayerMode) {
  ImageSettings settings;
  settings.bayerMode = bayerMode;
  settings.bayerGainRed = settings.bayerGainGreen = settings.bayerGainBlue = 100;
  settings.grayGainR = settings.grayGainG1 = settings.grayGainG2 = settings.grayGainB = 128;
  return settings;
}

ModeImages::ModeImages(int width, int height) {
  const uint16_t bits[6] = {8, 16, 24, 32, 48, 64};
  for (int i = 0; i < 6; ++i) images[i].Create(width, height, bits[i]);
}

image::FrameJob ModeImages::Job(ImageSettings& settings, int colorMode, image::MirrorFlags mirror) {
  image::FrameJob job;
  sharpenCopy.CopyFormat(images[colorMode]);
  job.images = {&images[0], &images[1], &images[2], &images[3], &images[4], &images[5], &sharpenCopy};
  job.settings = &settings;
  job.tables = &tables;
  job.colorMode = static_cast<image::ColorMode>(colorMode);
  job.mirror = mirror;
  return job;
}

}  // namespace tevrin::test
