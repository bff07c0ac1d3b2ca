// The acquisition state machine: preview and trigger threads, snapshots,
// and the per-frame sequence of read, conversion, display and delivery.
#include "image/ProcessFrame.h"
#include "image/SpreadRows.h"
#include "instance/Tevrin.h"

namespace {

enum State { kIdle = 0, kPreviewRunning = 1, kCapturePrepared = 2, kTriggerRunning = 3 };
enum RunFlag { kStop = 0, kRun = 1, kPaused = 2 };

constexpr int kContinuous = 0;
constexpr int kSingleFrame = 1;
constexpr int kCountedFrame = 2;
constexpr int kPreviewWaitMs = 3000;
constexpr int kTriggerWaitMs = 60000;
// The trigger loop waits in slices so that a stop is seen at once even when
// it came between the capture start and the wait.
constexpr int kTriggerWaitSliceMs = 100;
constexpr int kTriggerSnapTimeoutMs = 6000;

}  // namespace

void CTevrin::PostFrameMessage(WPARAM wParam, LPARAM lParam) {
  if (frameWindow_) PostMessageA(frameWindow_, TEVRIN_MSG_FRAME, wParam, lParam);
}

void CTevrin::StoreFrameTarget(HWND frameWindow, BYTE* buffer, int size, int rowOrder) {
  frameWindow_ = frameWindow;
  callerBuffer_ = buffer;
  callerBufferSize_ = size;
  rowOrder_ = rowOrder;
}

// Everything the camera and the images need before frames flow.
int CTevrin::AcquisitionSetup() {
  if (!device_->IsPresent(device_->GetOrdinal())) return RecordError(TEVRIN_ERROR_NO_CAMERA);
  if (!IsValidWindow(geometry_, subSample_)) return RecordError(TEVRIN_ERROR_GEOMETRY);
  const int divisor = SubSampleDivisor(subSample_);
  if (!SizeOutputImages(geometry_.EH / divisor, geometry_.EV / divisor)) return RecordError(TEVRIN_ERROR_BUFFER);
  if (!images_[kSharpenCopy]->CopyFormat(*OutputImage())) return RecordError(TEVRIN_ERROR_BUFFER);
  device_->SetBitDepth(colorMode_ == 1 || colorMode_ == 4 || colorMode_ == 5 ? 1 : 0);
  if (!device_->SetCaptureWindow(geometry_.EHS, geometry_.EVS, geometry_.EH, geometry_.EV, subSample_)) {
    return RecordError(TEVRIN_ERROR_GEOMETRY);
  }
  device_->SetMirrorV(analog_.mirrorV);
  device_->SetMirrorH(analog_.mirrorH);
  device_->SetTriggerMode(0, 1);
  SendGainsAndExposure();
  realExposure_ = analog_.exposure * 100;
  if (device_->HasExtendedMode()) device_->SetExtendedMode(0);
  if (device_->HasModeSwitch()) {
    device_->SetModeSwitch(0);
    device_->SetModeSwitch(analog_.modeSwitch);
  }
  if (device_->HasBlackLevel()) device_->SetBlackLevel(analog_.blackLevel);
  device_->PrepareStart();
  mirrorHInSensor_ = device_->IsMirrorHInSensor() != 0;
  mirrorVInSensor_ = device_->IsMirrorVInSensor() != 0;
  SizeDisplayImage();
  return 1;
}

int CTevrin::StartAcquisitionThread() {
  acquisitionDone_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (acquisitionDone_) {
    acquisitionThread_ = CreateThread(nullptr, 0, &CTevrin::AcquisitionThread, this, 0, &acquisitionThreadId_);
  }
  return acquisitionDone_ && acquisitionThread_ && acquisitionThreadId_;
}

int CTevrin::StartPreview() {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  if (acquisitionState_ == kPreviewRunning) return 1;
  if (acquisitionState_ != kIdle) return RecordError(TEVRIN_ERROR_NOT_READY);
  if (!AcquisitionSetup()) return 0;
  if (!device_->StartCapture(kContinuous)) {
    StopPreview();
    return RecordError(TEVRIN_ERROR_REGISTER);
  }
  // The rate window starts with the preview, so the first second reads 0.
  frameCount_ = 0;
  frameRate10_ = 0;
  rateWindowStart_ = GetTickCount();
  acquisitionState_ = kPreviewRunning;
  runFlag_ = kRun;
  if (!StartAcquisitionThread()) {
    StopPreview();
    return RecordError(TEVRIN_ERROR_THREAD_START);
  }
  return 1;
}

int CTevrin::OpenPreviewWindow() {
  if (!PreviewConfigured()) return 1;
  previewWindow_ = CreatePreviewWindow();
  previewDc_ = previewWindow_ ? GetDC(previewWindow_) : nullptr;
  return previewWindow_ && previewDc_;
}

int CTevrin::Preview() { return CallBackPreview(nullptr, nullptr, 0, 0); }

int CTevrin::CallBackPreview(HWND frameWindow, BYTE* buffer, int size, int rowOrder) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  StoreFrameTarget(frameWindow, buffer, size, rowOrder);
  if (!OpenPreviewWindow()) return RecordError(TEVRIN_ERROR_WINDOW_OR_SIZE);
  if (!StartPreview()) {
    Close();
    return RecordError(TEVRIN_ERROR_TRANSFER);
  }
  return 1;
}

int CTevrin::StopPreview() {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  runFlag_ = kStop;
  if (acquisitionState_ != kIdle) {
    acquisitionState_ = kIdle;
    device_->StopCapture(0);
  }
  if (acquisitionDone_) {
    WaitForSingleObject(acquisitionDone_, INFINITE);
    CloseHandle(acquisitionDone_);
    acquisitionDone_ = nullptr;
  }
  if (acquisitionThread_) {
    // The thread has signalled its end; wait for it to return as well, and
    // stop the capture a trigger thread may have started meanwhile.
    WaitForSingleObject(acquisitionThread_, INFINITE);
    CloseHandle(acquisitionThread_);
    acquisitionThread_ = nullptr;
    device_->StopCapture(0);
  }
  acquisitionThreadId_ = 0;
  return 1;
}

int CTevrin::Capture() {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  if (acquisitionState_ == kCapturePrepared) return 1;
  if (acquisitionState_ != kIdle) return RecordError(TEVRIN_ERROR_NOT_READY);
  if (!AcquisitionSetup()) return 0;
  acquisitionState_ = kCapturePrepared;
  return 1;
}

int CTevrin::SnapShot(BYTE* buffer, int size, int rowOrder) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  const int state = acquisitionState_;
  if (state == kPreviewRunning || state == kTriggerRunning) return RecordError(TEVRIN_ERROR_NOT_READY);
  if (state == kIdle && !AcquisitionSetup()) return 0;
  const auto stopUnlessPrepared = [&] {
    if (state != kCapturePrepared) device_->StopCapture(0);
  };
  std::lock_guard hold(frameLock_);
  if (!device_->StartCapture(kSingleFrame) || device_->WaitFrame(snapTimeout_) != 3) {
    stopUnlessPrepared();
    return RecordError(TEVRIN_ERROR_TRANSFER);
  }
  if (!ReadFrame()) {
    PostFrameMessage(0, TEVRIN_ERROR_TRANSFER);
    stopUnlessPrepared();
    return RecordError(TEVRIN_ERROR_TRANSFER);
  }
  ProcessRawFrame();
  if (buffer && size != 0 && !CopyImageTo(buffer, size, rowOrder)) {
    stopUnlessPrepared();
    return RecordError(TEVRIN_ERROR_BUFFER);
  }
  stopUnlessPrepared();
  imageValid_ = 1;
  return 1;
}

int CTevrin::Trigger(HWND frameWindow, BYTE* buffer, int size, int rowOrder) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  // A running trigger acquisition is refused too: a second thread would
  // take over the first one's handles.
  if (acquisitionState_ != kIdle) return RecordError(TEVRIN_ERROR_NOT_READY);
  StoreFrameTarget(frameWindow, buffer, size, rowOrder);
  if (!OpenPreviewWindow()) return RecordError(TEVRIN_ERROR_WINDOW_OR_SIZE);
  if (!AcquisitionSetup()) {
    Close();
    return 0;
  }
  acquisitionState_ = kTriggerRunning;
  snapTimeout_ = kTriggerSnapTimeoutMs;
  device_->SetFrameTimeout(kTriggerSnapTimeoutMs);
  device_->SetTriggerMode(1, 0);
  runFlag_ = kRun;
  if (!StartAcquisitionThread()) {
    Close();
    return RecordError(TEVRIN_ERROR_THREAD_START);
  }
  return 1;
}

int CTevrin::Close() {
  DestroyPreviewWindow();
  if (device_) {
    StopPreview();
    device_->StopCapture(0);
  }
  imageValid_ = 0;
  if (className_[0]) UnregisterClassA(className_, GetModuleHandleA(nullptr));
  className_[0] = '\0';
  return 1;
}

DWORD WINAPI CTevrin::AcquisitionThread(void* self) {
  auto* instance = static_cast<CTevrin*>(self);
  if (instance->acquisitionState_ == kTriggerRunning) {
    instance->TriggerLoop();
  } else {
    instance->PreviewLoop();
  }
  SetEvent(instance->acquisitionDone_);
  return 0;
}

// The newest frame into the raw image, rows spread to its stride.
bool CTevrin::ReadFrame() {
  CDibImage& raw = *RawImage();
  if (!device_->GetFrame(raw.Bits(), static_cast<int>(raw.ByteSize()))) return false;
  tevrin::image::SpreadRows(raw);
  return true;
}

void CTevrin::ProcessRawFrame() {
  tevrin::image::FrameJob job;
  job.images = {images_[kFrame8].get(),  images_[kFrame16].get(), images_[kColor24].get(),
                images_[kColor32].get(), images_[kColor48].get(), images_[kColor64].get()};
  job.settings = &image_;
  job.colorMode = colorMode_;
  job.mirror = {analog_.mirrorH != 0, analog_.mirrorV != 0, mirrorHInSensor_, mirrorVInSensor_};
  tevrin::image::ProcessFrame(job);
}

void CTevrin::FillFrameInfo(int rate) {
  const CDibImage& raw = *RawImage();
  frameInfo_.reserved = 0;
  frameInfo_.width = raw.Width();
  frameInfo_.height = raw.Height();
  frameInfo_.bitsPerPixel = OutputBits();
  frameInfo_.frameRate10 = rate;
  frameInfo_.buffer = callerBuffer_;
}

void CTevrin::CountFrameForRate() {
  ++frameCount_;
  const DWORD now = GetTickCount();
  const DWORD elapsed = now - rateWindowStart_;
  if (elapsed <= 1000) return;
  frameRate10_ = static_cast<int>(frameCount_ * 10000.0 / elapsed);
  frameCount_ = 0;
  rateWindowStart_ = now;
}

void CTevrin::PreviewLoop() {
  while (runFlag_ != kStop) {
    Sleep(static_cast<DWORD>(waitTime_));
    if (runFlag_ != kRun) continue;
    const int waited = device_->WaitFrame(kPreviewWaitMs);
    if (waited == 1) {
      runFlag_ = kStop;
      PostFrameMessage(0, TEVRIN_ERROR_DEVICE_LOST);
      RecordError(TEVRIN_ERROR_DEVICE_LOST);
      break;
    }
    if (waited != 3) continue;
    {
      std::lock_guard hold(frameLock_);
      if (!ReadFrame()) {
        PostFrameMessage(0, TEVRIN_ERROR_TRANSFER);
        RecordError(TEVRIN_ERROR_TRANSFER);
        continue;
      }
      CountFrameForRate();
      FillFrameInfo(frameRate10_);
      ProcessRawFrame();
      imageValid_ = 1;
      DrawFrame();
      if (callerBuffer_ && callerBufferSize_ && !CopyImageTo(callerBuffer_, callerBufferSize_, rowOrder_)) continue;
    }
    if (runFlag_ == kRun && frameWindow_) PostFrameMessage(reinterpret_cast<WPARAM>(&frameInfo_), 0);
  }
}

void CTevrin::TriggerLoop() {
  Sleep(static_cast<DWORD>(device_->GetExposure() / 10 + 100));
  device_->SyncFrameCounter();
  while (runFlag_ != kStop) {
    if (runFlag_ != kRun) {
      Sleep(10);
      continue;
    }
    if (!device_->StartCapture(kCountedFrame)) break;
    int waited = 2;
    for (int spent = 0; waited == 2 && spent < kTriggerWaitMs && runFlag_ != kStop; spent += kTriggerWaitSliceMs) {
      waited = device_->WaitFrame(kTriggerWaitSliceMs);
    }
    if (runFlag_ == kStop) break;
    if (waited != 3) continue;
    std::lock_guard hold(frameLock_);
    ReadFrame();
    FillFrameInfo(0);
    ProcessRawFrame();
    imageValid_ = 1;
    if (callerBuffer_ && callerBufferSize_ && !CopyImageTo(callerBuffer_, callerBufferSize_, rowOrder_)) continue;
    PostFrameMessage(reinterpret_cast<WPARAM>(&frameInfo_), 0);
    DrawFrame();
  }
}
