// A view of an output image as the pipeline holds it: row 0 in memory is the
// picture's top row, every row starts `stride` bytes after the previous one,
// 16-bit samples are little-endian and colour pixels store B, G, R (and a
// fourth byte or word for 32 and 64 bits). The memory spans height x stride
// bytes, padding of the last row included. The writers only read through it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tevrin::files {

struct StillImage {
  int32_t width = 0;
  int32_t height = 0;
  int bitCount = 0;  // 8, 16, 24, 32, 48 or 64
  int32_t stride = 0;
  const uint8_t* bits = nullptr;

  int BytesPerPixel() const { return bitCount / 8; }
  // Bytes of one row without its padding.
  size_t RowBytes() const { return static_cast<size_t>(width) * static_cast<size_t>(BytesPerPixel()); }
  size_t ByteSize() const { return static_cast<size_t>(height) * static_cast<size_t>(stride); }
  const uint8_t* Row(int32_t row) const { return bits + static_cast<ptrdiff_t>(row) * stride; }
};

// True when the view describes pixels the writers can read: known bit count,
// positive size, pixels present and rows at least as long as their pixels.
bool IsWritable(const StillImage& image);

}  // namespace tevrin::files
