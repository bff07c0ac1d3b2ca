// The lookup tables of the output filters, kept per pipeline (one per camera
// instance) and rebuilt only when their setting changes, so a frame allocates
// nothing and two cameras with different settings never share a table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/AlignedPixels.h"

namespace tevrin::image {

// The per-channel curves, each a function of one setting.
enum class Curve { kGamma, kContrast, kBrightness };
inline constexpr int kCurveCount = 3;

// One entry of a curve for channels whose largest value is `max` (255 or
// 65535): gamma in percent (0..200), contrast -127..127 (in steps of 1/256 of
// the range), brightness -255..255.
int CurveEntry(Curve curve, int setting, int input, int max);

class CFilterTables {
 public:
  CFilterTables();

  // 256 entries for 8-bit channels, 65536 for 16-bit ones.
  const uint8_t* Curve8(Curve curve, int setting);
  const uint16_t* Curve16(Curve curve, int setting);
  // Scratch room of at least `bytes` for the sums of one row, 64-byte
  // aligned; grows only for a wider row than any before.
  void* RowScratch(std::size_t bytes);

 private:
  static constexpr int kUnset = INT32_MIN;

  template <typename Sample>
  struct CachedCurve {
    int setting = kUnset;
    std::vector<Sample> entries;

    const Sample* For(Curve curve, int setting);
  };

  std::array<CachedCurve<uint8_t>, kCurveCount> curves8_;
  std::array<CachedCurve<uint16_t>, kCurveCount> curves16_;
  AlignedPixels rowScratch_;
  std::size_t rowScratchBytes_ = 0;
};

}  // namespace tevrin::image
