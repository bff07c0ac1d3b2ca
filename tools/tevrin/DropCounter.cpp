#include "DropCounter.h"

#include <TevrinSdk_Halden.h>

#include <algorithm>

namespace tevrin::tool {

namespace {
constexpr int kFrameCounterRegister = 0x08;  // the camera's 8-bit count of frames it made
}

void DropCounter::Sample(int handle) {
  int ok = 0;
  int value = Tevrin_Fpga_ReadRegister(handle, kFrameCounterRegister, &ok) & 0xFF;
  if (!ok) {
    readable_ = false;
    return;
  }
  if (samples_ > 0) made_ += (value - last_) & 0xFF;
  last_ = value;
  ++samples_;
}

std::optional<long> DropCounter::Dropped() const {
  if (!readable_ || samples_ == 0) return std::nullopt;
  return std::max(0L, made_ - (samples_ - 1));
}

}  // namespace tevrin::tool
