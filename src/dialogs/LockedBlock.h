#pragma once

#include <mutex>

// A settings block of the instance that a dialog edits while frames may be
// processed: every access holds the instance's settings lock.
template <typename Block>
class CLockedBlock {
 public:
  CLockedBlock(std::mutex& lock, Block& block) : lock_(lock), block_(block) {}

  Block Read() const {
    std::lock_guard hold(lock_);
    return block_;
  }

  template <typename Edit>
  void Change(Edit&& change) {
    std::lock_guard hold(lock_);
    change(block_);
  }

 private:
  std::mutex& lock_;
  Block& block_;
};
