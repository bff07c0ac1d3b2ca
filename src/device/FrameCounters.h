// The device's frame counters: written by whichever thread ends a frame,
// read by any other.
#pragma once

#include <atomic>
#include <cstdint>

#include "device/AcquisitionTypes.h"

namespace tevrin::device {

class FrameCounters {
 public:
  void Count(FrameStatus status) {
    if (status == FrameStatus::kComplete) {
      ++completed_;
      return;
    }
    ++failed_;
    if (status == FrameStatus::kTimeout) ++timeouts_;
  }
  void CountOverrun() { ++overruns_; }

  FrameStatistics Snapshot() const { return {completed_.load(), failed_.load(), overruns_.load(), timeouts_.load()}; }

  void Reset() {
    for (auto* counter : {&completed_, &failed_, &overruns_, &timeouts_}) counter->store(0);
  }

 private:
  std::atomic<uint64_t> completed_{0};
  std::atomic<uint64_t> failed_{0};
  std::atomic<uint64_t> overruns_{0};
  std::atomic<uint64_t> timeouts_{0};
};

}  // namespace tevrin::device
