// A frame buffer with the header block that points the stream reads at it.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "usb/FrameHeaderBlock.h"

namespace tevrin::test {

struct Frame {
  explicit Frame(uint32_t capacity) : bytes(capacity) {
    std::memset(&block, 0, sizeof(block));
    block.destination = bytes.data();
    block.capacity = capacity;
  }
  std::vector<uint8_t> bytes;
  usb::FrameHeaderBlock block;
};

}  // namespace tevrin::test
