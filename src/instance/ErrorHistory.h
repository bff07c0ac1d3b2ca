#pragma once

#include <array>
#include <mutex>

// The last 20 error codes of an instance, newest first. Recording pushes the
// oldest out; popping returns the newest and refills the old end with 0, so an
// empty history reads as 0. The acquisition threads record as well, so the
// history has a lock of its own.
class CErrorHistory {
 public:
  static constexpr int kDepth = 20;

  void Record(int code);
  int Pop();

 private:
  std::mutex lock_;
  std::array<int, kDepth> codes_{};
};
