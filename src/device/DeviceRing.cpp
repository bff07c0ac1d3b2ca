// The ring's writing side: a frame read ends, whole or failed; a whole one
// is copied once from the staging buffer into its slot and published; every
// end is counted and leaves its status in the slot.
#include <cstring>

#include "device/TevrinU3K5Base.h"

using tevrin::device::FrameStatus;
using tevrin::usb::FrameHeaderBlock;
using tevrin::usb::ReadOutcome;

namespace {

constexpr size_t kHeaderExtraOffset = 44;
constexpr size_t kHeaderExtraByteOffset = 4;

// What a failed read says about its frame; a header that came short or was
// refused is one failure, whatever step of it went wrong.
FrameStatus StatusOfFailure(ReadOutcome outcome, bool header) {
  switch (outcome) {
    case ReadOutcome::kTimedOut:
      return FrameStatus::kTimeout;
    case ReadOutcome::kAborted:
      return FrameStatus::kAborted;
    case ReadOutcome::kDeviceGone:
      return FrameStatus::kUnplugged;
    case ReadOutcome::kShort:
      return header ? FrameStatus::kHeaderFailed : FrameStatus::kShortTransfer;
    default:
      return header ? FrameStatus::kHeaderFailed : FrameStatus::kTransferFailed;
  }
}

}  // namespace

tevrin::device::FrameStatus CTevrinU3K5Base::NewestFrameStatus() const {
  const int index = endedSlot_;
  return index < 0 ? FrameStatus::kNone : slots_[index].status.load();
}

void CTevrinU3K5Base::EndFrame(int index, FrameStatus status) {
  slots_[index].status = status;
  endedSlot_ = index;
  counters_.Count(status);
}

tevrin::device::FrameStatus CTevrinU3K5Base::FailedRead(bool header) const {
  return StatusOfFailure(controller_->LastReadOutcome(), header);
}

void CTevrinU3K5Base::StoreHeaderWords(const FrameHeaderBlock& block) {
  Slot& slot = slots_[writeIndex_];
  std::lock_guard hold(slot.lock);
  const auto& header = block.header;
  slot.words[0] = static_cast<int>(header.timestampMicros);
  slot.words[1] = static_cast<int>(header.frameCounter);
  slot.words[2] = static_cast<int>(header.exposureLines);
  slot.words[3] = static_cast<int>(header.analogGain);
}

// Copies the staged frame into slot `index`. A whole frame nobody took is
// lost to the overrun.
void CTevrinU3K5Base::FillSlot(int index, const FrameHeaderBlock* block, int counter) {
  Slot& slot = slots_[index];
  std::lock_guard hold(slot.lock);
  if (slot.unread) counters_.CountOverrun();
  std::memcpy(slot.buffer, staging_, static_cast<size_t>(frameSize_));
  slot.counter = counter;
  if (block && product_->keepsHeaderExtra) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&block->header);
    std::memcpy(&slot.extra, bytes + kHeaderExtraOffset, sizeof slot.extra);
    slot.extraByte = bytes[kHeaderExtraByteOffset];
  }
  slot.unread = true;
}

// Fills the write slot and publishes it.
void CTevrinU3K5Base::StoreFrame(const FrameHeaderBlock* block) {
  const int index = writeIndex_;
  FillSlot(index, block, lastFrameCounter_);
  EndFrame(index, FrameStatus::kComplete);
  writeIndex_ = index + 1 == ringSize_ ? 0 : index + 1;
  SignalFrameEvent();
}
