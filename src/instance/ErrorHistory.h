#pragma once

#include <array>

// The last 20 error codes of an instance, newest first. Recording pushes the
// oldest out; popping returns the newest and refills the old end with 0, so an
// empty history reads as 0.
class CErrorHistory {
 public:
  static constexpr int kDepth = 20;

  void Record(int code);
  int Pop();

 private:
  std::array<int, kDepth> codes_{};
};
