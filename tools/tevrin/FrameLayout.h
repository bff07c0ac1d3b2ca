// The size of the frames a camera delivers in its current settings, and the
// one measurement the tool makes on them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>

namespace tevrin::tool {

struct FrameLayout {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;

  // Rows are padded to a multiple of 4 bytes, as in a DIB.
  size_t Stride() const { return (static_cast<size_t>(width) * bitsPerPixel / 8 + 3) & ~size_t{3}; }
  size_t Size() const { return Stride() * static_cast<size_t>(height); }
};

// From the image window, the subsampling and the colour mode of the handle.
FrameLayout CurrentLayout(int handle);

// Mean sample value over the colour channels (alpha left out), in the
// samples' own scale: 0..255 for 8-bit samples, 0..65535 for 16-bit ones.
double MeanLevel(std::span<const BYTE> pixels, const FrameLayout& layout);

}  // namespace tevrin::tool
