#include "gdi/Surface.h"

#include <algorithm>

namespace tevrin::win32 {

void Surface::ResizeLocked(int width, int height) {
  if (width == width_ && height == height_) return;
  AlignedPixels pixels = AllocatePixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  if (!pixels) width = height = 0;
  int keptWidth = std::min(width, width_), keptHeight = std::min(height, height_);
  for (int y = 0; y < keptHeight; ++y) {
    std::memcpy(pixels.get() + static_cast<ptrdiff_t>(y) * width * 4,
                pixels_.get() + static_cast<ptrdiff_t>(y) * width_ * 4, static_cast<size_t>(keptWidth) * 4);
  }
  pixels_ = std::move(pixels);
  width_ = width;
  height_ = height;
}

PixelView Surface::ViewLocked() const {
  return PixelView{.bits = pixels_.get(), .width = width_, .height = height_, .stride = width_ * 4, .bitCount = 32};
}

}  // namespace tevrin::win32
