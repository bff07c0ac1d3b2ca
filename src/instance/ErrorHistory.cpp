#include "instance/ErrorHistory.h"

#include <algorithm>

void CErrorHistory::Record(int code) {
  std::lock_guard hold(lock_);
  std::shift_right(codes_.begin(), codes_.end(), 1);
  codes_.front() = code;
}

int CErrorHistory::Pop() {
  std::lock_guard hold(lock_);
  const int newest = codes_.front();
  std::shift_left(codes_.begin(), codes_.end(), 1);
  codes_.back() = 0;
  return newest;
}
