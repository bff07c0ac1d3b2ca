// Starting and stopping the acquisition thread, and what its loops share:
// the header block, stream restarts, the trigger wait and the loop's end.
#include <tevrin/hardware/ControllerInfo.h>
#include <tevrin/hardware/FpgaRegisters.h>
#include <tevrin/hardware/Fx3Requests.h>

#include <cstring>

#include "device/TevrinU3K5Base.h"

namespace hw = tevrin::hardware;
using tevrin::device::CaptureMode;
using tevrin::device::FrameRoute;
using tevrin::device::Recovery;
using tevrin::device::StreamStop;
using tevrin::usb::FrameHeaderBlock;

namespace {
// A healthy camera ends the frame in flight well within this; a stalled one
// is cut off by the pipe abort, so that a stop never waits on it.
constexpr DWORD kThreadJoinMs = 200;
constexpr DWORD kAbortRepeatMs = 10;
constexpr DWORD kSettleBeforeRecoveryMs = 100;
constexpr uint8_t kConverterStreamOff = 2;
// Register reads that fail in a row before the camera counts as lost; one
// failed read on a busy bus is not a loss.
constexpr int kLostAfterFailedReads = 10;
}  // namespace

int CTevrinU3K5Base::SetMode(CaptureMode mode) {
  std::lock_guard hold(controlLock_);
  if (!controller_) return 0;
  if (mode != mode_) {
    StopCapture(0);
    if (!frameEvent_) frameEvent_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (mode == CaptureMode::kCounted) writeIndex_ = lastReadIndex_.load();
  }
  mode_ = mode;
  return 1;
}

int CTevrinU3K5Base::StartCapture(CaptureMode mode) {
  std::lock_guard hold(controlLock_);
  if (running_ && threadEnd_) {
    timeBeginPeriod(1);
    const DWORD ended = WaitForSingleObject(threadEnd_, 5);
    timeEndPeriod(1);
    if (ended != WAIT_OBJECT_0) StopCapture(1);
  }
  if (!frameEvent_) frameEvent_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!SetMode(mode)) return 0;
  if (geometryDirty_) ApplyGeometry();
  if (product_->startChecksSensorStatus && sensor_ && sensor_->HasNewStatus() && !sensor_->UpdateStatus() &&
      sensor_->GetModeSelect() == 2) {
    return 0;
  }
  if (threadEnd_) CloseHandle(threadEnd_);
  threadEnd_ = nullptr;
  JoinThread();

  // A failure of the last capture is not this one's: cleared before the
  // thread runs, so a wait right after the start cannot report it.
  errorFlag_ = 0;
  running_ = 1;
  threadEnd_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  thread_ = threadEnd_ ? CreateThread(nullptr, 0, &CTevrinU3K5Base::ThreadEntry, this, 0, nullptr) : nullptr;
  if (!thread_) {
    running_ = 0;
    return 0;
  }
  SetThreadPriority(thread_, THREAD_PRIORITY_TIME_CRITICAL);
  if (sensor_ && !sensor_->IsStreamHelperRunning()) sensor_->OnStreamStart();
  return 1;
}

DWORD WINAPI CTevrinU3K5Base::ThreadEntry(void* self) {
  auto* device = static_cast<CTevrinU3K5Base*>(self);
  device->product_->route == FrameRoute::kAuxEndpoint ? device->AcquisitionLoopAux() : device->AcquisitionLoop();
  return 0;
}

// Waits for an acquisition thread whose run flag is already clear. A read
// that outlasts the usual wait is aborted: the thread must be gone before
// its buffers can be freed or reused. A loop that may sleep through a long
// recovery is waited for to its end.
void CTevrinU3K5Base::JoinThread() {
  if (!thread_) return;
  const DWORD limit = product_->recovery == Recovery::kByCommand ? INFINITE : kThreadJoinMs;
  if (WaitForSingleObject(thread_, limit) != WAIT_OBJECT_0) {
    // A frame-header read tries again after an abort; the aborts go on until
    // the thread has seen its stop.
    while (controller_ && WaitForSingleObject(thread_, kAbortRepeatMs) != WAIT_OBJECT_0) controller_->AbortImagePipe();
    WaitForSingleObject(thread_, INFINITE);
  }
  CloseHandle(thread_);
  thread_ = nullptr;
}

int CTevrinU3K5Base::StopCapture(int abort) {
  std::lock_guard hold(controlLock_);
  if (sensor_) sensor_->OnStreamStop(abort);
  if (running_.exchange(0) && abort) {
    Sleep(100);
    if (controller_) controller_->AbortImagePipe();
    if (threadEnd_) WaitForSingleObject(threadEnd_, INFINITE);
  }
  JoinThread();
  Sleep(1);
  if (threadEnd_) CloseHandle(threadEnd_);
  threadEnd_ = nullptr;
  if (HANDLE frameEvent = frameEvent_.exchange(nullptr)) {
    SetEvent(frameEvent);  // wakes a consumer waiting for a frame
    CloseHandle(frameEvent);
  }
  StopStream();
  Sleep(5);
  mode_ = CaptureMode::kContinuous;
  countedFrames_ = 0;
  frameRate_ = 0;
  firstFrameAfterStart_ = 1;
  return 1;
}

int CTevrinU3K5Base::StopStream() {
  if (!controller_) return 0;
  if (product_->route == FrameRoute::kAuxEndpoint) {
    controller_->ResetParentPort();
  } else {
    uint16_t firmware = 0;
    std::memcpy(&firmware, controllerInfo_ + hw::kControllerInfoFirmwareVersion, sizeof firmware);
    if (firmware > hw::kFirmwarePipeResetAbove) controller_->ResetPipe(hw::kEndpointImageIn);
    if (product_->streamStop == StreamStop::kConverterOff) {
      controller_->WriteBoardRegister(hw::fpga::kConverterStream, kConverterStreamOff);
    }
    if (product_->streamStop == StreamStop::kSettle) Sleep(kSettleBeforeRecoveryMs);
  }
  controller_->SendStreamRecovery();
  return 1;
}

int CTevrinU3K5Base::SyncFrameCounter() {
  int ok = 0;
  const int counter = ReadFpgaRegister(hw::fpga::kFrameCounter, &ok);
  if (ok) lastFrameCounter_ = counter;
  return ok;
}

int CTevrinU3K5Base::SetFrameTimeout(int ms) {
  frameTimeoutMs_ = ms;
  return 1;
}

void CTevrinU3K5Base::PrepareHeaderBlock(FrameHeaderBlock* block) const {
  std::memset(block, 0, sizeof *block);
  block->destination = staging_;
  block->capacity = static_cast<uint32_t>(stagingSize_);
  block->auxLength = static_cast<uint32_t>(frameSize_);
}

void CTevrinU3K5Base::RestartStream() {
  if (product_->recovery != Recovery::kByCommand && sensor_) sensor_->PulseRestart();
  controller_->OpenStream();
}

void CTevrinU3K5Base::ApplyPendingCommand() {
  if (pendingCommand_.exchange(0) && sensor_) sensor_->SetExposureTime(static_cast<unsigned>(pendingArgument_.load()));
}

// In external trigger mode the board's frame counter moves when a trigger
// has produced a frame; wait for that before reading it. A camera that no
// longer answers fails the loop, so that the consumer hears of it.
bool CTevrinU3K5Base::WaitTriggerCounter() {
  int failedReads = 0;
  while (running_) {
    int ok = 0;
    const int counter = ReadFpgaRegister(hw::fpga::kFrameCounter, &ok);
    if (ok && counter != lastFrameCounter_) {
      lastFrameCounter_ = counter;
      return true;
    }
    failedReads = ok ? 0 : failedReads + 1;
    if (failedReads >= kLostAfterFailedReads) {
      FailLoop();
      return false;
    }
    Sleep(1);  // also after a failed read, so a lost camera does not spin a core
  }
  return false;
}

void CTevrinU3K5Base::SignalFrameEvent() {
  if (HANDLE frameEvent = frameEvent_) SetEvent(frameEvent);
}

void CTevrinU3K5Base::FailLoop() {
  errorFlag_ = 1;
  SignalFrameEvent();
}

int CTevrinU3K5Base::EndLoop() {
  if (controller_) controller_->CloseStream();
  if (threadEnd_) SetEvent(threadEnd_);
  if (errorFlag_) SignalFrameEvent();
  running_ = 0;
  return 1;
}
