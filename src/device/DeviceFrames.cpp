// Handing frames to the consumer: the frame wait and the copies out of the
// ring, with the sensor's orientation undone on the way.
#include <algorithm>
#include <cstring>

#include "device/TevrinU3K5Base.h"

using tevrin::device::FrameStatus;
using tevrin::device::WaitResult;

// The frame event can still be set for a frame that was taken since (a
// preview stops between a frame and its wait); such a wake is not a frame,
// so the wait goes on until a new one lands or the time is up.
WaitResult CTevrinU3K5Base::WaitFrame(int ms) {
  const DWORD start = GetTickCount();
  const DWORD limit = static_cast<DWORD>(std::max(ms, 0));
  for (;;) {
    if (errorFlag_) return WaitResult::kError;
    HANDLE frameEvent = frameEvent_;
    const DWORD spent = GetTickCount() - start;
    const DWORD left = spent >= limit ? 0 : limit - spent;
    if (!frameEvent || WaitForSingleObject(frameEvent, left) != WAIT_OBJECT_0) {
      return WaitResult::kNoNewFrame;
    }
    if (errorFlag_) return WaitResult::kError;
    if (writeIndex_ != lastReadIndex_) return WaitResult::kNewFrame;
  }
}

int CTevrinU3K5Base::NewestIndex(int writeIndex, int ringSize) {
  return writeIndex == 0 ? ringSize - 1 : writeIndex - 1;
}

namespace {

// One line's pixels in reverse order; a pixel size known when compiling
// makes each pixel one move instead of a call (and the copy-out of a fast
// camera's frame keeps well ahead of the next frame).
template <size_t kBytes>
void ReversePixels(const uint8_t* from, uint8_t* to, int width) {
  const uint8_t* pixel = from + static_cast<size_t>(width) * kBytes;
  for (int x = 0; x < width; ++x) {
    pixel -= kBytes;
    std::memcpy(to + static_cast<size_t>(x) * kBytes, pixel, kBytes);
  }
}

}  // namespace

// Copies one stored frame into `buffer` line by line. Orientation 2 and 4
// store pixels right to left; 3 and 4 store lines bottom to top.
void CTevrinU3K5Base::CopyLines(const uint8_t* source, uint8_t* buffer, int bottomUp) const {
  const int orientation = sensor_->Info().orientation;
  const int width = ringWidth_;
  const int height = ringHeight_;
  const int bytes = ringBytesPerPixel_;
  const size_t lineBytes = static_cast<size_t>(width) * bytes;
  const bool reversePixels = orientation == 2 || orientation == 4;
  const bool storedOrder = (bottomUp != 0) == (orientation != 3 && orientation != 4);

  if (product_->spareFirstLine) {
    // The image starts one line down, unless the sensor's mode fills every line.
    const bool full = sensor_->CheckModeLimit(0, 0) != 0;
    const int lines = full ? height : height - 1;
    const int first = full ? height - 1 : height - 2;
    for (int line = 0; line < lines; ++line) {
      std::memcpy(buffer + line * lineBytes, source + (first - line) * lineBytes, lineBytes);
    }
    return;
  }
  if (!reversePixels && storedOrder) {
    std::memcpy(buffer, source, static_cast<size_t>(frameSize_));
    return;
  }
  for (int line = 0; line < height; ++line) {
    const uint8_t* from = source + (storedOrder ? line : height - 1 - line) * lineBytes;
    uint8_t* to = buffer + line * lineBytes;
    if (!reversePixels) {
      std::memcpy(to, from, lineBytes);
      continue;
    }
    bytes == 2 ? ReversePixels<2>(from, to, width) : ReversePixels<1>(from, to, width);
  }
}

int CTevrinU3K5Base::CopyOut(int slotIndex, uint8_t* buffer, int size, int* counter, int* words[4], int bottomUp) {
  if (size < frameSize_ || !sensor_) return 0;
  Slot& slot = slots_[slotIndex];
  std::lock_guard hold(slot.lock);
  if (!slot.buffer) return 0;
  if (buffer) {
    CopyLines(slot.buffer, buffer, bottomUp);
    slot.unread = false;
  }
  if (counter) *counter = slot.counter;
  for (int index = 0; index < 4; ++index) {
    if (words && words[index]) *words[index] = slot.words[index];
  }
  return 1;
}

int CTevrinU3K5Base::CopyFrame(uint8_t* buffer, int size, int* counter, int* word28, int* word32, int* word40,
                               int* word44, int fromSlot0, int bottomUp) {
  int* words[4] = {word28, word32, word40, word44};
  const int slot = fromSlot0 ? 0 : NewestIndex(writeIndex_, ringSize_);
  return CopyOut(slot, buffer, size, counter, words, bottomUp);
}

int CTevrinU3K5Base::GetCapturedFrame(uint8_t* buffer, int bottomUp) {
  if (!buffer) return -2;
  CopyOut(0, buffer, frameSize_, nullptr, nullptr, bottomUp);
  return 0;
}

// The copies below take the newest frame as the write index stood when
// they began, and mark exactly that one as taken: a frame that lands during
// the copy stays new for the next wait.
void CTevrinU3K5Base::TakeFrame(int slotIndex, int writeIndex) {
  {
    Slot& slot = slots_[slotIndex];
    std::lock_guard hold(slot.lock);
    slot.unread = false;
  }
  lastReadIndex_ = writeIndex;
}

int CTevrinU3K5Base::GetFrame(uint8_t* buffer, int bottomUp) {
  // After a failure the ring holds frames from before it, which the caller
  // must not take for the frame it waited for.
  if (errorFlag_) return 0;
  const int writeIndex = writeIndex_;
  const int index = NewestIndex(writeIndex, ringSize_);
  if (slots_[index].status != FrameStatus::kComplete) return 0;
  const int copied = buffer ? CopyOut(index, buffer, frameSize_, nullptr, nullptr, bottomUp) : 0;
  TakeFrame(index, writeIndex);
  return copied;
}

int CTevrinU3K5Base::GetFrameEx(uint8_t* buffer, uint64_t* extra, int* extraByte, int fromSlot0) {
  const int writeIndex = writeIndex_;
  const int index = fromSlot0 ? 0 : NewestIndex(writeIndex, ringSize_);
  CopyOut(index, buffer, frameSize_, nullptr, nullptr, 1);
  {
    Slot& slot = slots_[index];
    std::lock_guard hold(slot.lock);
    if (extra) *extra = slot.extra;
    if (extraByte) *extraByte = slot.extraByte;
  }
  TakeFrame(index, writeIndex);
  return 0;
}

int CTevrinU3K5Base::GetFrameInfo(uint8_t* buffer, int* counter, int* word28, int* word32, int* word40, int* word44,
                                  int bottomUp) {
  const int writeIndex = writeIndex_;
  int* words[4] = {word28, word32, word40, word44};
  const int index = NewestIndex(writeIndex, ringSize_);
  CopyOut(index, buffer, frameSize_, counter, words, bottomUp);
  TakeFrame(index, writeIndex);
  return 0;
}
