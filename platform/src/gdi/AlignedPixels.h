// Zero-filled pixel memory on a 64-byte boundary, so rows can be processed
// with full-width vector loads from the first byte.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace tevrin::win32 {

struct FreeAligned {
  void operator()(std::byte* memory) const { std::free(memory); }
};
using AlignedPixels = std::unique_ptr<std::byte[], FreeAligned>;

// Pictures of 2 GiB and more are refused rather than attempted.
constexpr size_t kMaxPixelBytes = size_t{1} << 31;

// Null when the memory is not available.
inline AlignedPixels AllocatePixels(size_t size) {
  constexpr size_t kAlignment = 64;
  if (size >= kMaxPixelBytes) return nullptr;
  size_t rounded = (std::max<size_t>(size, 1) + kAlignment - 1) / kAlignment * kAlignment;
  auto* memory = static_cast<std::byte*>(std::aligned_alloc(kAlignment, rounded));
  if (memory) std::memset(memory, 0, rounded);
  return AlignedPixels(memory);
}

}  // namespace tevrin::win32
