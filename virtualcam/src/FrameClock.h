// The camera's own frame timing. In free run frame n ends at
// epoch + (n - base) x period, so nothing has to tick while nobody reads;
// in trigger mode a frame is made by each trigger pulse only.
#pragma once

#include <chrono>
#include <cstdint>

namespace tevrin::virtualcam {

class FrameClock {
 public:
  using Clock = std::chrono::steady_clock;

  explicit FrameClock(Clock::time_point powerOn) : powerOn_(powerOn), epoch_(powerOn) {}

  // Frames made up to `now`.
  uint32_t Count(Clock::time_point now) const;
  // When the frame after Count(now) ends; max() in trigger mode.
  Clock::time_point NextFrame(Clock::time_point now) const;
  // When frame `count` ended (its timestamp).
  Clock::time_point FrameTime(uint32_t count) const;
  // New period or mode from now on; frames made so far stay counted.
  void Retime(Clock::time_point now, std::chrono::nanoseconds period, bool triggered);
  // One frame in trigger mode; ignored in free run.
  void Trigger(Clock::time_point now);

  uint32_t MicrosecondsSincePowerOn(Clock::time_point when) const {
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::microseconds>(when - powerOn_).count());
  }

 private:
  Clock::time_point powerOn_;
  Clock::time_point epoch_;
  uint32_t base_ = 0;
  std::chrono::nanoseconds period_{std::chrono::milliseconds(7)};
  bool triggered_ = false;
  Clock::time_point lastTrigger_{};
};

}  // namespace tevrin::virtualcam
