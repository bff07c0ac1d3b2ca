// The 96-byte block the device layer hands to the stream reads: the camera's
// 64-byte frame header followed by where the image bytes are to go.
#pragma once

#include <tevrin/hardware/FrameHeader.h>

#include <cstddef>
#include <cstdint>

namespace tevrin::usb {

#pragma pack(push, 1)
struct FrameHeaderBlock {
  hardware::FrameHeader header;
  uint32_t frameCounter;  // copy of header.frameCounter
  uint32_t unused68;
  uint8_t* destination;  // image bytes land here
  uint32_t capacity;     // bytes available at destination
  uint32_t auxLength;    // bytes of the auxiliary block (endpoint 0x83)
  uint8_t reserved88[8];
};
#pragma pack(pop)

static_assert(sizeof(FrameHeaderBlock) == 96);
static_assert(offsetof(FrameHeaderBlock, frameCounter) == 64);
static_assert(offsetof(FrameHeaderBlock, destination) == 72);
static_assert(offsetof(FrameHeaderBlock, capacity) == 80);
static_assert(offsetof(FrameHeaderBlock, auxLength) == 84);

}  // namespace tevrin::usb
