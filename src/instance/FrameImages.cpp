#include "instance/FrameImages.h"

#include <cstring>

#include "image/OutputRoutines.h"

using tevrin::image::ColorMode;
using tevrin::image::Describe;

bool CFrameImages::Size(ColorMode mode, int width, int height) {
  mode_ = mode;
  const auto create = [&](Index index, uint16_t bits) { return images_[index].Create(width, height, bits) != 0; };
  const auto& info = Describe(mode);
  // Frame8 also holds the reduced picture of a 16-bit output for the display,
  // Color24 the demosaic of the 32-bit output and the display of the wider ones.
  if (mode != ColorMode::Bgr48 && mode != ColorMode::Bgra64) {
    if (!create(kFrame8, 8) || !images_[kFrame8].SetPalette(0)) return false;
  }
  if (info.rawBits == 16 && !create(kFrame16, 16)) return false;
  if (mode != ColorMode::Gray16 && !create(kColor24, 24)) return false;
  const Index output = OutputIndex(mode);
  if (output > kColor24 && !create(output, static_cast<uint16_t>(info.bits))) return false;
  return images_[kSharpenCopy].CopyFormat(Output()) != 0;
}

CDibImage& CFrameImages::Raw() {
  return images_[Describe(mode_).rawBits == 16 ? kFrame16 : kFrame8];
}

// The output images stand in the order of the colour modes.
CFrameImages::Index CFrameImages::OutputIndex(ColorMode mode) {
  return static_cast<Index>(mode);
}

CDibImage& CFrameImages::Output() {
  return images_[OutputIndex(mode_)];
}

tevrin::image::FrameBuffers CFrameImages::Buffers() {
  return {&images_[kFrame8],  &images_[kFrame16], &images_[kColor24],    &images_[kColor32],
          &images_[kColor48], &images_[kColor64], &images_[kSharpenCopy]};
}

const CDibImage& CFrameImages::DisplaySource() {
  switch (mode_) {
    case ColorMode::Gray16:
      images_[kFrame8].Apply(tevrin::image::kDisplayGray16, Output());
      return images_[kFrame8];
    case ColorMode::Bgra32:
      images_[kColor24].Apply(tevrin::image::kDisplayColor32, Output());
      return images_[kColor24];
    case ColorMode::Bgr48:
    case ColorMode::Bgra64:
      images_[kColor24].Apply(tevrin::image::kDisplayColor48, Output());
      return images_[kColor24];
    default:
      return Output();
  }
}

int CFrameImages::CopyOutput(BYTE* buffer, int size, int rowOrder) {
  const CDibImage& image = Output();
  if (!buffer || !image.Bits() || size < 0 || static_cast<size_t>(size) < image.ByteSize()) return 0;
  if (rowOrder) {
    std::memcpy(buffer, image.Bits(), image.ByteSize());
    return 1;
  }
  const size_t stride = static_cast<size_t>(image.Stride());
  for (int row = 0; row < image.Height(); ++row) {
    std::memcpy(buffer + row * stride, image.Row(image.Height() - 1 - row), stride);
  }
  return 1;
}
