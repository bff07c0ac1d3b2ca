// The acquisition thread's three loops: frame header and image from the
// image pipe (most products), the image alone from the auxiliary endpoint,
// or memory-window stream reads. Each frame is copied once from the staging
// buffer into the ring.
#include <tevrin/hardware/Fx3Requests.h>

#include "device/TevrinU3K5Base.h"

namespace hw = tevrin::hardware;
using tevrin::device::CaptureMode;
using tevrin::device::FrameStatus;
using tevrin::device::Recovery;
using tevrin::device::TriggerMode;
using tevrin::usb::FrameHeaderBlock;

namespace {

constexpr int kRestartsPerFrame = 4;
constexpr DWORD kLongRecoveryMs = 20000;
constexpr DWORD kPeriodicUpdateMs = 1000;

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

bool CTevrinU3K5Base::OutOfFrameTime(DWORD failingSince) const {
  return GetTickCount() - failingSince >= static_cast<DWORD>(frameTimeoutMs_.load());
}

void CTevrinU3K5Base::CompleteFrame(Clock::time_point readStart, const FrameHeaderBlock& block) {
  const double seconds = SecondsSince(readStart);
  if (seconds > 0) transferRate_ = (frameSize_ / 1024.0 / 128.0) / seconds;
  if (const auto rate = rateMeter_.Count()) frameRate_ = *rate;
  StoreFrame(&block);
}

// Products with a periodic update drop the first frame after a start and
// report the elapsed time to their sensor about once a second. False when
// the frame is to be dropped.
bool CTevrinU3K5Base::PeriodicSensorUpdate() {
  if (!periodicNoted_) periodicNoted_ = GetTickCount();
  if (firstFrameAfterStart_) {
    firstFrameAfterStart_ = 0;
    sensor_->SetFrameStarted(1);
    sensor_->PeriodicUpdate(0);
    return false;
  }
  const DWORD elapsed = GetTickCount() - *periodicNoted_;
  if (elapsed > kPeriodicUpdateMs) {
    sensor_->PeriodicUpdate(elapsed);
    periodicNoted_ = GetTickCount();
  }
  return true;
}

int CTevrinU3K5Base::AcquisitionLoop() {
  if (IsStreamProduct()) return AcquisitionLoopStream();
  if (!controller_ || !staging_) return EndLoop();
  FrameHeaderBlock block;
  PrepareHeaderBlock(&block);
  errorFlag_ = 0;
  if (!controller_->OpenStream()) {
    EndFrame(writeIndex_, FrameStatus::kUnplugged);  // the path no longer opens
    FailLoop();
    return EndLoop();
  }
  const bool byCommand = product_->recovery == Recovery::kByCommand;
  int attempts = 0;
  // Restarts go on only within the frame time-out: a camera that has sent
  // nothing for that long has failed, however many restarts remain.
  DWORD failingSince = 0;
  bool failing = false;
  while (running_) {
    const DWORD attemptStart = GetTickCount();
    const CaptureMode mode = mode_;
    // The trigger that made a counted frame is gone once the frame failed.
    const bool retry = mode != CaptureMode::kCounted || product_->recovery != Recovery::kRestartUnlessCounted;
    ApplyPendingCommand();
    if (triggerMode_ == TriggerMode::kExternal && !WaitTriggerCounter()) break;
    if (controller_->ReadFrameHeader(&block)) {
      StoreHeaderWords(block);
      if (mode == CaptureMode::kHeaderOnly) {
        lastFrameCounter_ = static_cast<int>(block.frameCounter);
        break;
      }
      if (mode != CaptureMode::kCounted) lastFrameCounter_ = static_cast<int>(block.frameCounter);
      const Clock::time_point readStart = Clock::now();
      if (controller_->ReadFrameData(&block, static_cast<uint32_t>(frameTimeoutMs_.load()))) {
        if (product_->periodicUpdate && mode != CaptureMode::kCounted && sensor_ && !PeriodicSensorUpdate()) continue;
        CompleteFrame(readStart, block);
        if (mode == CaptureMode::kSingle) break;
        if (mode == CaptureMode::kCounted) {
          ++countedFrames_;
          break;
        }
        attempts = 0;
        failing = false;
        continue;
      }
      EndFrame(writeIndex_, FailedRead(false));
      controller_->CloseStream();
      if (!failing) failingSince = attemptStart;
      failing = true;
      if (!retry || byCommand || attempts >= kRestartsPerFrame || OutOfFrameTime(failingSince)) {
        FailLoop();
        break;
      }
    } else {
      EndFrame(writeIndex_, FailedRead(true));
      controller_->CloseStream();
      if (!failing) failingSince = attemptStart;
      failing = true;
      if (!retry || (!byCommand && OutOfFrameTime(failingSince))) {
        FailLoop();
        break;
      }
      if (byCommand) {
        if (attempts > 0) {
          FailLoop();
          break;
        }
        controller_->ResetPipe(hw::kEndpointImageIn);
        controller_->SendStreamRecovery();
        if (sensor_) sensor_->PulseRestart();
        Sleep(kLongRecoveryMs);
        ++attempts;
        continue;
      }
      if (attempts >= kRestartsPerFrame) {
        FailLoop();
        break;
      }
    }
    if (product_->pipeResetOnRestart) controller_->ResetPipe(hw::kEndpointImageIn);
    RestartStream();
    ++attempts;
  }
  return EndLoop();
}

int CTevrinU3K5Base::AcquisitionLoopAux() {
  constexpr int kAttempts = 11;
  constexpr DWORD kGiveUpMs = 9999;
  if (!controller_ || !staging_) return EndLoop();
  FrameHeaderBlock block;
  PrepareHeaderBlock(&block);
  controller_->SendStreamRecovery();
  errorFlag_ = 0;
  controller_->OpenStream();
  DWORD lastSuccess = GetTickCount();
  int failures = 0;
  while (running_) {
    if (controller_->ReadAuxData(&block)) {
      lastSuccess = GetTickCount();
      errorFlag_ = 0;
      if (const auto rate = rateMeter_.Count()) frameRate_ = *rate;
      StoreFrame(nullptr);
      if (mode_ == CaptureMode::kSingle) break;
      failures = 0;
      continue;
    }
    EndFrame(writeIndex_, FailedRead(false));
    if (GetTickCount() - lastSuccess > kGiveUpMs || ++failures >= kAttempts) {
      FailLoop();
      break;
    }
    controller_->ResetParentPort();
    controller_->SendStreamRecovery();
    controller_->ResetPipe(hw::kEndpointImageIn);
  }
  return EndLoop();
}

int CTevrinU3K5Base::AcquisitionLoopStream() {
  constexpr int kFailuresInARow = 10;
  if (!controller_ || !staging_) return EndLoop();
  FrameHeaderBlock block;
  PrepareHeaderBlock(&block);
  errorFlag_ = 0;
  controller_->OpenStream();
  double countedBytes = 0;
  Clock::time_point rateStart = Clock::now();
  int failures = 0;
  while (running_) {
    const CaptureMode mode = mode_;
    ApplyPendingCommand();
    if (mode == CaptureMode::kHeaderOnly) {
      lastFrameCounter_ = static_cast<int>(block.frameCounter);
      break;
    }
    uint64_t length = static_cast<uint64_t>(frameSize_);
    const DWORD timeout = mode == CaptureMode::kCounted ? INFINITE : static_cast<DWORD>(frameTimeoutMs_.load());
    if (controller_->ReadStream(&block, &length, timeout)) {
      errorFlag_ = 0;
      countedBytes += frameSize_;
      if (const auto rate = rateMeter_.Count()) {
        frameRate_ = *rate;
        const double seconds = SecondsSince(rateStart);
        if (seconds > 0) transferRate_ = (countedBytes / 1024.0 / 128.0) / seconds;
        countedBytes = 0;
        rateStart = Clock::now();
      }
      StoreFrame(nullptr);
      failures = 0;
      if (mode == CaptureMode::kSingle) break;
      if (mode == CaptureMode::kCounted) {
        ++countedFrames_;
        break;
      }
      continue;
    }
    EndFrame(writeIndex_, FailedRead(false));
    controller_->CloseStream();
    StopStream();
    if (failures >= kFailuresInARow - 1) {
      FailLoop();
      break;
    }
    if (sensor_) sensor_->PulseRestart();
    controller_->SendStreamRecovery();
    controller_->OpenStream();
    ++failures;
  }
  return EndLoop();
}
