// The six output colour modes and what each one needs: the depth the camera
// delivers (raw), the depth of the output image and of the picture shown in a
// preview window. The numeric index is what the registry stores.
#pragma once

#include <cstdint>
#include <optional>

namespace tevrin::image {

enum class ColorMode : int { Gray8 = 0, Gray16 = 1, Bgr24 = 2, Bgra32 = 3, Bgr48 = 4, Bgra64 = 5 };

struct ColorModeInfo {
  int bits;         // bits per pixel of the output image, as the exports name the mode
  int rawBits;      // 8 or 16: the samples read from the camera
  int displayBits;  // 8 or 24: what a preview window shows
  bool monochrome;  // no demosaic
  bool needsGray8;  // the camera must deliver 8-bit samples
  bool needsColor;  // the camera must have a colour sensor
};

inline constexpr ColorModeInfo kColorModes[] = {
    {8, 8, 8, true, true, false},    {16, 16, 8, true, false, false},  {24, 8, 24, false, false, true},
    {32, 8, 24, false, true, false}, {48, 16, 24, false, false, true}, {64, 16, 24, false, false, true},
};
inline constexpr int kColorModeCount = 6;

inline const ColorModeInfo& Describe(ColorMode mode) {
  return kColorModes[static_cast<int>(mode)];
}

// The mode of an index as stored (0..5); nothing for any other value.
inline std::optional<ColorMode> ColorModeAt(int index) {
  if (index < 0 || index >= kColorModeCount) return std::nullopt;
  return static_cast<ColorMode>(index);
}

// The mode whose output has `bits` bits per pixel; nothing for other values.
inline std::optional<ColorMode> ColorModeOfBits(int bits) {
  for (int index = 0; index < kColorModeCount; ++index) {
    if (kColorModes[index].bits == bits) return static_cast<ColorMode>(index);
  }
  return std::nullopt;
}

}  // namespace tevrin::image
