// Frames the camera made, from its frame counter, read as each frame's message
// arrives; frames it made that never reached us were dropped on the way. The
// counter is 8 bits wide, so it must be read at least every 255 frames.
#pragma once

#include <optional>

namespace tevrin::tool {

class DropCounter {
 public:
  void Sample(int handle);

  // Made since the first sample, less received since then; nothing when a
  // read failed. The message of a frame may trail the counter by a frame, so
  // the estimate is held at 0 rather than going below it.
  std::optional<long> Dropped() const;

 private:
  bool readable_ = true;
  long samples_ = 0;
  long made_ = 0;
  int last_ = 0;
};

}  // namespace tevrin::tool
