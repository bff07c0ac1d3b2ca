// How many bits of a 16-bit sample carry the picture. Files of 8-bit samples
// take the top eight of them; files of 16-bit samples get them shifted up to
// fill the word, so a 12-bit camera value 4095 is written as 65520.
#pragma once

#include <cstdint>

namespace tevrin::files {

constexpr int kFullSampleBits = 16;

// 10, 12 and 16 are the depths the sensors deliver; anything else is refused.
constexpr bool IsSupportedSignificantBits(int bits) {
  return bits == 10 || bits == 12 || bits == kFullSampleBits;
}

constexpr uint8_t ReduceSample(uint16_t value, int significantBits) {
  return static_cast<uint8_t>(value >> (significantBits - 8));
}

constexpr uint16_t WidenSample(uint16_t value, int significantBits) {
  return static_cast<uint16_t>(value << (kFullSampleBits - significantBits));
}

}  // namespace tevrin::files
