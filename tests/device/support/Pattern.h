// Checks of frames in the virtual camera's pattern mode: every sample is
// (x + 640 y + 7 n) mod 4096 at its upright scene position (x, y), n being
// the frame's 8-bit counter; 8-bit frames carry its upper 8 of 12 bits.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace tevrin::test {

// Where a frame's samples come from in the scene: pixel (x, y) of a full
// 640 x 512 frame shows scene position (flipX ? 639 - x : x, flipY ? 511 - y : y).
struct SceneLayout {
  bool flipX = false;
  bool flipY = false;
};
inline constexpr SceneLayout kUpright{};
inline constexpr SceneLayout kHalfTurn{true, true};

// A full-frame image in a caller's buffer.
struct FrameImage {
  const uint8_t* data;
  int bytesPerPixel;
  int Sample(int x, int y) const;
};

// Success when every pixel of the 640 x 512 frame is the pattern of frame `counter`.
::testing::AssertionResult ShowsPattern(const FrameImage& image, SceneLayout layout, uint32_t counter);
// The frame counter (0..255) whose pattern the frame's first line shows, or -1.
int PatternCounter(const FrameImage& image, SceneLayout layout);

// A buffer for one full frame at `bytesPerPixel`.
inline std::vector<uint8_t> FrameBuffer(int bytesPerPixel) {
  return std::vector<uint8_t>(640 * 512 * bytesPerPixel);
}

}  // namespace tevrin::test
