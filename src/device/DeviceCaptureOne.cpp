// The single capture on the caller's thread, without the acquisition thread.
#include <tevrin/hardware/Fx3Requests.h>

#include "device/TevrinU3K5Base.h"

namespace hw = tevrin::hardware;
using tevrin::device::CaptureMode;
using tevrin::device::FrameRoute;
using tevrin::device::FrameStatus;
using tevrin::device::SingleCapture;
using tevrin::usb::FrameHeaderBlock;

int CTevrinU3K5Base::CaptureOne() {
  return product_->singleCapture == SingleCapture::kFiveAttempts ? CaptureOneFiveAttempts() : CaptureOneRetrying();
}

// Into ring slot 0, retried for up to 10 seconds; the result is always 0
// and a failure shows in the error flag.
int CTevrinU3K5Base::CaptureOneRetrying() {
  constexpr int kAttempts = 11;
  constexpr DWORD kGiveUpMs = 9999;
  constexpr DWORD kReadMs = 3000;
  constexpr int kMissingBuffers = 2;
  if (!controller_ || !staging_) return kMissingBuffers;
  if (geometryDirty_) ApplyGeometry();
  FrameHeaderBlock block;
  PrepareHeaderBlock(&block);
  const bool auxiliary = product_->route == FrameRoute::kAuxEndpoint;
  if (auxiliary) controller_->SendStreamRecovery();
  errorFlag_ = 0;
  controller_->OpenStream();
  const DWORD start = GetTickCount();
  for (int attempt = 1;; ++attempt) {
    const bool headerRead = auxiliary || controller_->ReadFrameHeader(&block);
    const bool read =
        headerRead && (auxiliary ? controller_->ReadAuxData(&block) : controller_->ReadFrameData(&block, kReadMs));
    if (read) {
      FillSlot(0, nullptr, static_cast<int>(block.frameCounter));
      EndFrame(0, FrameStatus::kComplete);
      break;
    }
    EndFrame(0, FailedRead(!headerRead));
    if (GetTickCount() - start > kGiveUpMs || attempt >= kAttempts) {
      errorFlag_ = 1;
      break;
    }
    if (auxiliary) controller_->ResetParentPort();
  }
  controller_->CloseStream();
  if (threadEnd_) SetEvent(threadEnd_);
  running_ = 0;
  return 0;
}

// Into the first slot of the ring, at most five attempts with a pipe reset
// between them; the result is the error flag.
int CTevrinU3K5Base::CaptureOneFiveAttempts() {
  constexpr int kAttempts = 5;
  if (!controller_ || !staging_) return 0;
  writeIndex_ = 0;
  FrameHeaderBlock block;
  PrepareHeaderBlock(&block);
  int failures = 0;
  for (; failures < kAttempts; ++failures) {
    ApplyPendingCommand();
    const bool headerRead = controller_->ReadFrameHeader(&block);
    if (headerRead) {
      if (mode_ == CaptureMode::kHeaderOnly) {
        lastFrameCounter_ = static_cast<int>(block.frameCounter);
        break;
      }
      if (mode_ != CaptureMode::kCounted) lastFrameCounter_ = static_cast<int>(block.frameCounter);
      if (controller_->ReadFrameData(&block, static_cast<uint32_t>(frameTimeoutMs_.load()))) {
        StoreFrame(&block);
        break;
      }
    }
    EndFrame(writeIndex_, FailedRead(!headerRead));
    controller_->CloseStream();
    controller_->ResetPipe(hw::kEndpointImageIn);
    controller_->OpenStream();
  }
  if (failures == kAttempts) errorFlag_ = 1;
  controller_->CloseStream();
  return errorFlag_;
}
