// Nearest-neighbour copies between pixel buffers of 8 (indexed), 16 (5-5-5),
// 24 and 32 bits: the engine behind BitBlt, StretchBlt and GetDIBits.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tevrin::win32 {

// Pixels as the caller lays them out; row 0 is the top of the picture.
struct PixelView {
  std::byte* bits = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;  // bytes per stored row
  int bitCount = 32;
  bool topDown = true;
  const uint32_t* colors = nullptr;  // 256 entries 0x00RRGGBB for 8 bits
  int colorCount = 0;

  std::byte* Row(int y) const { return bits + static_cast<ptrdiff_t>(topDown ? y : height - 1 - y) * stride; }
};

// Bytes per row of a DIB: rows start on 4-byte boundaries.
int DibStride(int width, int bitCount);

// An origin and a signed extent on one axis; a negative extent covers
// [origin + extent, origin) and runs backwards, as GDI's logical rectangles do.
struct Extent {
  int origin;
  int size;
};

// Copies source (x, y) into dest (x, y); when the extents differ in sign the
// image is mirrored on that axis. Pixels whose source lies outside the source
// or whose destination lies outside the destination are left alone. The two
// views may share memory.
void StretchPixels(const PixelView& dest, Extent destX, Extent destY, const PixelView& source, Extent sourceX,
                   Extent sourceY);

}  // namespace tevrin::win32
