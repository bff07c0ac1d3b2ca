// The 64-byte header the camera sends on endpoint 0x81 ahead of each frame.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tevrin::hardware {

#pragma pack(push, 1)
struct FrameHeader {
  char magic[4];           // "TVFH"
  uint32_t headerBytes;    // 64
  uint16_t width;          // pixels per row of the image that follows
  uint16_t height;         // rows
  uint32_t bytesPerPixel;  // 1 or 2
  uint32_t imageBytes;     // number of image bytes that follow
  uint32_t reserved20[2];
  uint32_t timestampMicros;  // camera clock at the end of the frame, low 32 bits
  uint32_t frameCounter;     // 8-bit frame counter, the value board register 0x08 shows for this frame
  uint32_t framesMade;       // the camera's full count of frames
  uint32_t exposureLines;    // VMAX - SHS when the frame was exposed
  uint32_t analogGain;       // sensor gain register value, 0.1 dB steps
  uint32_t reserved48[4];
};
#pragma pack(pop)

static_assert(sizeof(FrameHeader) == 64);
static_assert(offsetof(FrameHeader, imageBytes) == 16);
static_assert(offsetof(FrameHeader, timestampMicros) == 28);
static_assert(offsetof(FrameHeader, frameCounter) == 32);
static_assert(offsetof(FrameHeader, framesMade) == 36);
static_assert(offsetof(FrameHeader, exposureLines) == 40);
static_assert(offsetof(FrameHeader, analogGain) == 44);

inline constexpr char kFrameHeaderMagic[4] = {'T', 'V', 'F', 'H'};

}  // namespace tevrin::hardware
