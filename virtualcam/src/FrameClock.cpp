#include "FrameClock.h"

namespace tevrin::virtualcam {

uint32_t FrameClock::Count(Clock::time_point now) const {
  if (triggered_ || now < epoch_) return base_;
  return base_ + static_cast<uint32_t>((now - epoch_) / period_);
}

FrameClock::Clock::time_point FrameClock::NextFrame(Clock::time_point now) const {
  if (triggered_) return Clock::time_point::max();
  return FrameTime(Count(now) + 1);
}

FrameClock::Clock::time_point FrameClock::FrameTime(uint32_t count) const {
  if (triggered_) return lastTrigger_;
  return epoch_ + period_ * static_cast<int64_t>(count - base_);
}

void FrameClock::Retime(Clock::time_point now, std::chrono::nanoseconds period, bool triggered) {
  base_ = Count(now);
  epoch_ = now;
  period_ = period.count() > 0 ? period : std::chrono::nanoseconds(1);
  triggered_ = triggered;
}

void FrameClock::Trigger(Clock::time_point now) {
  if (!triggered_) return;
  ++base_;
  lastTrigger_ = now;
}

}  // namespace tevrin::virtualcam
