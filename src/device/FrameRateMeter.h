// Counts frames and, once a second or more has passed since its window
// began, yields frames per second and starts a new window. Each device has
// its own meter, so two cameras never count each other's frames; a capture
// start does not restart it, so one-frame captures add up to a rate too.
#pragma once

#include <windows.h>

#include <optional>

namespace tevrin::device {

class FrameRateMeter {
 public:
  std::optional<float> Count() {
    ++count_;
    const DWORD elapsed = GetTickCount() - windowStart_;
    if (elapsed < 1000) return std::nullopt;
    const float rate = static_cast<float>(count_) * 1000.0f / static_cast<float>(elapsed);
    Restart();
    return rate;
  }

 private:
  void Restart() {
    windowStart_ = GetTickCount();
    count_ = 0;
  }

  DWORD windowStart_ = GetTickCount();
  int count_ = 0;
};

}  // namespace tevrin::device
