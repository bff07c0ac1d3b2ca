// Starting and stopping the acquisition thread, and its loops: frame header
// and image from the image pipe (most products), the auxiliary endpoint
// (the product without register port) or the memory window (stream
// products), each frame copied once from the staging buffer into the ring.
#include <tevrin/hardware/ControllerInfo.h>
#include <tevrin/hardware/FpgaRegisters.h>

#include <cstring>

#include "device/Products.h"
#include "device/TevrinU3K5Base.h"

namespace hw = tevrin::hardware;
using tevrin::device::IsOneOf;
using tevrin::usb::FrameHeaderBlock;

namespace {

constexpr int kModeContinuous = 0;
constexpr int kModeSingle = 1;
constexpr int kModeCounted = 2;
constexpr int kModeHeaderOnly = 3;
constexpr int kRestartsPerFrame = 4;
constexpr uint8_t kImagePipe = 0x81;
constexpr DWORD kThreadJoinMs = 3000;
// Products whose image pipe is reset before a stream restart.
constexpr int kPipeResetProducts[] = {0x3100, 0x3130, 0x3150, 0x3170, 0x31B0, 0x31B4,
                                      0x31C0, 0x31C4, 0x31E0, 0x32A0, 0x32D0};

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int CTevrinU3K5Base::SetMode(int mode) {
  std::lock_guard hold(controlLock_);
  if (!controller_) return 0;
  if (mode != mode_) {
    StopCapture(0);
    if (!frameEvent_) frameEvent_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (mode == kModeCounted) writeIndex_ = lastReadIndex_.load();
  }
  mode_ = mode;
  return 1;
}

int CTevrinU3K5Base::StartCapture(int mode) {
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
  if (productId_ == tevrin::device::kLargeRingProduct && sensor_ && sensor_->HasNewStatus() &&
      !sensor_->UpdateStatus() && sensor_->GetModeSelect() == 2) {
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
  device->IsNoRegisterProduct() ? device->AcquisitionLoopAux() : device->AcquisitionLoop();
  return 0;
}

// Waits for an acquisition thread whose run flag is already clear. A read
// that outlasts the usual wait is aborted: the thread must be gone before
// its buffers can be freed or reused.
void CTevrinU3K5Base::JoinThread() {
  if (!thread_) return;
  const DWORD limit = productId_ == tevrin::device::kLargeRingProduct ? INFINITE : kThreadJoinMs;
  if (WaitForSingleObject(thread_, limit) != WAIT_OBJECT_0) {
    if (controller_) controller_->AbortImagePipe();
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
  mode_ = kModeContinuous;
  countedFrames_ = 0;
  frameRate_ = 0;
  firstFrameAfterStart_ = 1;
  return 1;
}

int CTevrinU3K5Base::StopStream() {
  if (!controller_) return 0;
  if (IsNoRegisterProduct()) {
    controller_->ResetParentPort();
  } else {
    uint16_t firmware = 0;
    std::memcpy(&firmware, controllerInfo_ + hw::kControllerInfoFirmwareVersion, sizeof firmware);
    if (firmware > hw::kFirmwarePipeResetAbove) controller_->ResetPipe(kImagePipe);
    if (productId_ == 0x3130) controller_->WriteBoardRegister(0x68, 2);
    if (productId_ == 0x3150) Sleep(100);
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
  if (productId_ != tevrin::device::kLargeRingProduct && sensor_) sensor_->PulseRestart();
  controller_->OpenStream();
}

void CTevrinU3K5Base::ApplyPendingCommand() {
  if (pendingCommand_.exchange(0) && sensor_) sensor_->SetExposureTime(static_cast<unsigned>(pendingArgument_.load()));
}

// In external trigger mode the board's frame counter moves when a trigger
// has produced a frame; wait for that before reading it.
bool CTevrinU3K5Base::WaitTriggerCounter() {
  while (running_) {
    int ok = 0;
    const int counter = ReadFpgaRegister(hw::fpga::kFrameCounter, &ok);
    if (ok && counter != lastFrameCounter_) {
      lastFrameCounter_ = counter;
      return true;
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

void CTevrinU3K5Base::StoreHeaderWords(const FrameHeaderBlock& block) {
  Slot& slot = slots_[writeIndex_];
  std::lock_guard hold(slot.lock);
  const auto& header = block.header;
  slot.words[0] = static_cast<int>(header.timestampMicros);
  slot.words[1] = static_cast<int>(header.frameCounter);
  slot.words[2] = static_cast<int>(header.exposureLines);
  slot.words[3] = static_cast<int>(header.analogGain);
}

// Copies the staged frame into the write slot and publishes it.
void CTevrinU3K5Base::StoreFrame(const FrameHeaderBlock* block) {
  const int index = writeIndex_;
  {
    Slot& slot = slots_[index];
    std::lock_guard hold(slot.lock);
    std::memcpy(slot.buffer, staging_, static_cast<size_t>(frameSize_));
    slot.counter = lastFrameCounter_;
    if (block && productId_ == tevrin::device::kLargeRingProduct) {
      const auto* bytes = reinterpret_cast<const uint8_t*>(&block->header);
      std::memcpy(&slot.extra, bytes + 44, sizeof slot.extra);
      slot.extraByte = bytes[4];
    }
  }
  writeIndex_ = index + 1 == ringSize_ ? 0 : index + 1;
  SignalFrameEvent();
}

void CTevrinU3K5Base::CompleteFrame(Clock::time_point readStart, const FrameHeaderBlock& block) {
  const double seconds = SecondsSince(readStart);
  if (seconds > 0) transferRate_ = (frameSize_ / 1024.0 / 128.0) / seconds;
  if (const auto rate = rateMeter_.Count()) frameRate_ = *rate;
  StoreFrame(&block);
}

// The large-ring product drops the first frame after a start and reports
// the elapsed time to its sensor about once a second. False when the frame
// is to be dropped.
bool CTevrinU3K5Base::PeriodicUpdate32D0() {
  static std::atomic<DWORD> noted{0};
  DWORD expected = 0;
  noted.compare_exchange_strong(expected, GetTickCount());
  if (firstFrameAfterStart_) {
    firstFrameAfterStart_ = 0;
    sensor_->SetFrameStarted(1);
    sensor_->PeriodicUpdate(0);
    return false;
  }
  const DWORD elapsed = GetTickCount() - noted.load();
  if (elapsed > 1000) {
    sensor_->PeriodicUpdate(elapsed);
    noted = GetTickCount();
  }
  return true;
}

int CTevrinU3K5Base::AcquisitionLoop() {
  if (IsStreamProduct()) return AcquisitionLoopStream();
  if (!controller_ || !staging_) return EndLoop();
  FrameHeaderBlock block;
  PrepareHeaderBlock(&block);
  errorFlag_ = 0;
  rateMeter_.Restart();
  if (!controller_->OpenStream()) {
    FailLoop();
    return EndLoop();
  }
  const bool largeRing = productId_ == tevrin::device::kLargeRingProduct;
  int attempts = 0;
  while (running_) {
    const int mode = mode_;
    ApplyPendingCommand();
    if (triggerMode_ == 1 && !WaitTriggerCounter()) break;
    if (controller_->ReadFrameHeader(&block)) {
      StoreHeaderWords(block);
      if (mode == kModeHeaderOnly) {
        lastFrameCounter_ = static_cast<int>(block.frameCounter);
        break;
      }
      if (mode != kModeCounted) lastFrameCounter_ = static_cast<int>(block.frameCounter);
      const Clock::time_point readStart = Clock::now();
      if (controller_->ReadFrameData(&block, static_cast<uint32_t>(frameTimeoutMs_.load()))) {
        if (largeRing && mode != kModeCounted && sensor_ && !PeriodicUpdate32D0()) continue;
        CompleteFrame(readStart, block);
        if (mode == kModeSingle) break;
        if (mode == kModeCounted) {
          ++countedFrames_;
          break;
        }
        attempts = 0;
        continue;
      }
      controller_->CloseStream();
      if ((productId_ == 0x3190 && mode == kModeCounted) || largeRing || attempts >= kRestartsPerFrame) {
        FailLoop();
        break;
      }
    } else {
      controller_->CloseStream();
      if (productId_ == 0x3190 && mode == kModeCounted) {
        FailLoop();
        break;
      }
      if (largeRing) {
        if (attempts > 0) {
          FailLoop();
          break;
        }
        controller_->ResetPipe(kImagePipe);
        controller_->SendStreamRecovery();
        if (sensor_) sensor_->PulseRestart();
        Sleep(20000);
        ++attempts;
        continue;
      }
      if (attempts >= kRestartsPerFrame) {
        FailLoop();
        break;
      }
    }
    if (IsOneOf(productId_, kPipeResetProducts)) controller_->ResetPipe(kImagePipe);
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
  rateMeter_.Restart();
  controller_->OpenStream();
  DWORD lastSuccess = GetTickCount();
  int failures = 0;
  while (running_) {
    if (controller_->ReadAuxData(&block)) {
      lastSuccess = GetTickCount();
      errorFlag_ = 0;
      if (const auto rate = rateMeter_.Count()) frameRate_ = *rate;
      StoreFrame(nullptr);
      if (mode_ == kModeSingle) break;
      failures = 0;
      continue;
    }
    if (GetTickCount() - lastSuccess > kGiveUpMs || ++failures >= kAttempts) {
      FailLoop();
      break;
    }
    controller_->ResetParentPort();
    controller_->SendStreamRecovery();
    controller_->ResetPipe(kImagePipe);
  }
  return EndLoop();
}

int CTevrinU3K5Base::AcquisitionLoopStream() {
  constexpr int kFailuresInARow = 10;
  if (!controller_ || !staging_) return EndLoop();
  FrameHeaderBlock block;
  PrepareHeaderBlock(&block);
  errorFlag_ = 0;
  rateMeter_.Restart();
  controller_->OpenStream();
  double countedBytes = 0;
  Clock::time_point rateStart = Clock::now();
  int failures = 0;
  while (running_) {
    const int mode = mode_;
    ApplyPendingCommand();
    if (mode == kModeHeaderOnly) {
      lastFrameCounter_ = static_cast<int>(block.frameCounter);
      break;
    }
    uint64_t length = static_cast<uint64_t>(frameSize_);
    const DWORD timeout = mode == kModeCounted ? INFINITE : static_cast<DWORD>(frameTimeoutMs_.load());
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
      if (mode == kModeSingle) break;
      if (mode == kModeCounted) {
        ++countedFrames_;
        break;
      }
      continue;
    }
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

int CTevrinU3K5Base::CaptureOne() {
  constexpr int kAttempts = 11;
  constexpr DWORD kGiveUpMs = 9999;
  constexpr DWORD kReadMs = 3000;
  if (productId_ == tevrin::device::kLargeRingProduct) {
    if (!controller_ || !staging_) return 0;
    writeIndex_ = 0;
    FrameHeaderBlock block;
    PrepareHeaderBlock(&block);
    int failures = 0;
    for (; failures < 5; ++failures) {
      ApplyPendingCommand();
      if (controller_->ReadFrameHeader(&block)) {
        if (mode_ == kModeHeaderOnly) {
          lastFrameCounter_ = static_cast<int>(block.frameCounter);
          break;
        }
        if (mode_ != kModeCounted) lastFrameCounter_ = static_cast<int>(block.frameCounter);
        if (controller_->ReadFrameData(&block, static_cast<uint32_t>(frameTimeoutMs_.load()))) {
          StoreFrame(&block);
          break;
        }
      }
      controller_->CloseStream();
      controller_->ResetPipe(kImagePipe);
      controller_->OpenStream();
    }
    if (failures == 5) errorFlag_ = 1;
    controller_->CloseStream();
    return errorFlag_;
  }

  if (!controller_ || !staging_) return 2;
  if (geometryDirty_) ApplyGeometry();
  FrameHeaderBlock block;
  PrepareHeaderBlock(&block);
  if (IsNoRegisterProduct()) controller_->SendStreamRecovery();
  errorFlag_ = 0;
  controller_->OpenStream();
  const DWORD start = GetTickCount();
  for (int attempt = 1;; ++attempt) {
    const bool read = IsNoRegisterProduct()
                          ? controller_->ReadAuxData(&block)
                          : controller_->ReadFrameHeader(&block) && controller_->ReadFrameData(&block, kReadMs);
    if (read) {
      Slot& slot = slots_[0];
      std::lock_guard hold(slot.lock);
      std::memcpy(slot.buffer, staging_, static_cast<size_t>(frameSize_));
      slot.counter = static_cast<int>(block.frameCounter);
      break;
    }
    if (GetTickCount() - start > kGiveUpMs || attempt >= kAttempts) {
      errorFlag_ = 1;
      break;
    }
    if (IsNoRegisterProduct()) controller_->ResetParentPort();
  }
  controller_->CloseStream();
  if (threadEnd_) SetEvent(threadEnd_);
  running_ = 0;
  return 0;
}
