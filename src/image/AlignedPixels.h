// Pixel memory that the pipeline owns itself: zero-filled and on a 64-byte
// boundary, because copies between buffers whose addresses differ by 16 mod 64
// run many times slower on the machines this SDK is measured on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace tevrin::image {

struct FreeAlignedPixels {
  void operator()(uint8_t* memory) const { std::free(memory); }
};
using AlignedPixels = std::unique_ptr<uint8_t[], FreeAlignedPixels>;

// Null when the memory is not available.
inline AlignedPixels AllocateAlignedPixels(size_t size) {
  constexpr size_t kAlignment = 64;
  const size_t rounded = (size + kAlignment - 1) / kAlignment * kAlignment;
  if (rounded == 0 || rounded < size) return nullptr;
  auto* memory = static_cast<uint8_t*>(std::aligned_alloc(kAlignment, rounded));
  if (memory) std::memset(memory, 0, rounded);
  return AlignedPixels(memory);
}

}  // namespace tevrin::image
