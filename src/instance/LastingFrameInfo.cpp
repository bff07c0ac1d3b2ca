#include "instance/LastingFrameInfo.h"

#include <atomic>
#include <new>

namespace {

// Linked from a global, so that leak checkers see the blocks as reachable.
struct LastingBlock {
  FrameInfo info{};
  LastingBlock* next = nullptr;
};

std::atomic<LastingBlock*> blocks{nullptr};

// When no memory is left, acquisitions share this block: still never freed.
FrameInfo spare{};

}  // namespace

FrameInfo& NewLastingFrameInfo() {
  auto* block = new (std::nothrow) LastingBlock;
  if (!block) return spare;
  block->next = blocks.load();
  while (!blocks.compare_exchange_weak(block->next, block)) {
  }
  return block->info;
}
