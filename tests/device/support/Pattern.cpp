#include "support/Pattern.h"

#include <tevrin/virtualcam/VirtualCameras.h>

namespace tevrin::test {

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 512;

int Expected(SceneLayout layout, int x, int y, uint32_t counter, int bytesPerPixel) {
  const int sample =
      virtualcam::PatternSample(layout.flipX ? kWidth - 1 - x : x, layout.flipY ? kHeight - 1 - y : y, counter);
  return bytesPerPixel == 2 ? sample : sample >> 4;
}

}  // namespace

int FrameImage::Sample(int x, int y) const {
  const size_t at = (static_cast<size_t>(y) * kWidth + x) * bytesPerPixel;
  return bytesPerPixel == 2 ? data[at] | data[at + 1] << 8 : data[at];
}

::testing::AssertionResult ShowsPattern(const FrameImage& image, SceneLayout layout, uint32_t counter) {
  int wrong = 0;
  int firstX = 0, firstY = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (image.Sample(x, y) == Expected(layout, x, y, counter, image.bytesPerPixel)) continue;
      if (wrong++ == 0) firstX = x, firstY = y;
    }
  }
  if (wrong == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << wrong << " pixels differ from the pattern of frame " << counter
                                       << ", the first at (" << firstX << ", " << firstY
                                       << "): " << image.Sample(firstX, firstY) << " instead of "
                                       << Expected(layout, firstX, firstY, counter, image.bytesPerPixel);
}

int PatternCounter(const FrameImage& image, SceneLayout layout) {
  for (int counter = 0; counter < 256; ++counter) {
    bool all = true;
    for (int x = 0; x < kWidth && all; ++x)
      all = image.Sample(x, 0) == Expected(layout, x, 0, counter, image.bytesPerPixel);
    if (all) return counter;
  }
  return -1;
}

}  // namespace tevrin::test
