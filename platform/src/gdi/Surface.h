// The 32-bit picture of a window's client area (or of the screen): what was
// drawn into it stays until drawn over. Locked while drawing, because a
// window is drawn from any thread while its owner may resize it.
#pragma once

#include <mutex>

#include "gdi/AlignedPixels.h"
#include "gdi/PixelCopy.h"

namespace tevrin::win32 {

class Surface {
 public:
  std::mutex mutex;

  // Keeps the overlapping top-left part; new parts are black. A size that
  // cannot be allocated leaves an empty surface.
  void ResizeLocked(int width, int height);
  PixelView ViewLocked() const;

 private:
  int width_ = 0;
  int height_ = 0;
  AlignedPixels pixels_;
};

}  // namespace tevrin::win32
