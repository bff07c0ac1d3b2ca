#include "instance/Acquisition.h"

#include <algorithm>

#include "image/SpreadRows.h"
#include "instance/CameraClaims.h"
#include "instance/LastingFrameInfo.h"

namespace {

using tevrin::image::ColorMode;
using tevrin::image::Describe;

using tevrin::device::CaptureMode;
using tevrin::device::TriggerMode;
using tevrin::device::WaitResult;
constexpr int kPreviewWaitMs = 3000;
constexpr int kTriggerWaitMs = 60000;
// Waits and sleeps go in slices so that a stop is seen soon, whatever the
// wait time or trigger time-out.
constexpr int kTriggerWaitSliceMs = 100;
constexpr int kStopPollMs = 20;
constexpr int kTriggerSnapTimeoutMs = 6000;
constexpr int kPausedPollMs = 10;
// The camera's 16-bit samples carry 12 bits (0..4095); a recording keeps their top eight.
constexpr int kSampleSignificantBits = 12;

}  // namespace

CAcquisition::CAcquisition(Host& host, CTevrinU3K5Base& device)
    : host_(host),
      device_(device),
      recorder_([&host](int code) { host.RecordError(code); }),
      frameInfo_(NewLastingFrameInfo()),
      rateWindowStart_(GetTickCount()) {}

CAcquisition::~CAcquisition() {
  Close();
}

// Everything the camera and the images need before frames flow.
int CAcquisition::Setup() {
  if (!host_.CheckCamera()) return 0;
  // Refused before anything reaches the camera another handle streams from.
  if (!ClaimCamera(device_.GetOrdinal(), this)) return host_.RecordError(TEVRIN_ERROR_NOT_READY);
  const AcquisitionFormat format = host_.Format();
  {
    std::lock_guard hold(frameLock_);
    imageValid_ = 0;
    if (!images_.Size(format.mode, format.width, format.height)) {
      ReleaseCamera(this);
      return host_.RecordError(TEVRIN_ERROR_BUFFER);
    }
  }
  if (!host_.PrepareCamera(format)) {
    ReleaseCamera(this);
    return 0;
  }
  std::lock_guard hold(frameLock_);
  if (window_) window_->SizeBackBuffer(Describe(format.mode).displayBits);
  return 1;
}

int CAcquisition::StartThread(void (CAcquisition::*loop)()) {
  run_ = kRun;
  // This thread takes the frames off the device's ring: on a busy machine a
  // normal-priority thread falls behind and the ring overruns. Above normal,
  // not real time: when processing cannot keep up it never blocks, and a
  // real-time thread would then starve the application.
  return thread_.Start([this, loop] { (this->*loop)(); }, THREAD_PRIORITY_ABOVE_NORMAL) ? 1 : 0;
}

int CAcquisition::StartPreview() {
  std::lock_guard transition(transitionLock_);
  return StartLocked();
}

int CAcquisition::StartLocked() {
  const AcquisitionState state = state_;
  if (state == AcquisitionState::PreviewRunning) return 1;
  if (state != AcquisitionState::Idle) return host_.RecordError(TEVRIN_ERROR_NOT_READY);
  if (!Setup()) return 0;
  if (!device_.StartCapture(CaptureMode::kContinuous)) {
    StopLocked();
    return host_.RecordError(TEVRIN_ERROR_REGISTER);
  }
  // The rate window starts with the preview, so the first second reads 0.
  frameCount_ = 0;
  frameRate10_ = 0;
  rateWindowStart_ = GetTickCount();
  state_ = AcquisitionState::PreviewRunning;
  if (!StartThread(&CAcquisition::PreviewLoop)) {
    StopLocked();
    return host_.RecordError(TEVRIN_ERROR_THREAD_START);
  }
  return 1;
}

int CAcquisition::OpenPreviewWindow() {
  const PreviewPlacement placement = host_.Placement();
  if (!placement.Wanted()) return 1;
  const AcquisitionFormat format = host_.Format();
  std::unique_ptr<CPreviewWindow> window = CPreviewWindow::Create(placement, format.width, format.height, this);
  // The window it replaces goes after the lock is released.
  std::unique_ptr<CPreviewWindow> previous;
  std::lock_guard hold(frameLock_);
  previous = std::exchange(window_, std::move(window));
  return window_ != nullptr;
}

int CAcquisition::CallBackPreview(const FrameTarget& target) {
  std::lock_guard transition(transitionLock_);
  const AcquisitionState state = state_;
  // A trigger acquisition keeps its target; it is closed below.
  if (state != AcquisitionState::TriggerRunning) {
    std::lock_guard hold(frameLock_);
    target_ = target;
  }
  if (state == AcquisitionState::PreviewRunning) return 1;
  if (state == AcquisitionState::Idle) {
    if (!OpenPreviewWindow()) return host_.RecordError(TEVRIN_ERROR_WINDOW_OR_SIZE);
    if (StartLocked()) return 1;
  } else {
    host_.RecordError(TEVRIN_ERROR_NOT_READY);
  }
  CloseLocked();
  return host_.RecordError(TEVRIN_ERROR_TRANSFER);
}

int CAcquisition::StopPreview() {
  std::lock_guard transition(transitionLock_);
  return StopLocked();
}

int CAcquisition::StopLocked() {
  run_ = kStop;
  if (state_ != AcquisitionState::Idle) {
    state_ = AcquisitionState::Idle;
    device_.StopCapture(0);
  }
  if (thread_.Running()) {
    thread_.Join();
    // A trigger thread may have started a capture after the stop above.
    device_.StopCapture(0);
  }
  recorder_.Stop();
  ReleaseCamera(this);
  return 1;
}

int CAcquisition::Capture() {
  std::lock_guard transition(transitionLock_);
  return CaptureLocked();
}

int CAcquisition::CaptureLocked() {
  const AcquisitionState state = state_;
  if (state == AcquisitionState::CapturePrepared) return 1;
  if (state != AcquisitionState::Idle) return host_.RecordError(TEVRIN_ERROR_NOT_READY);
  if (!Setup()) return 0;
  state_ = AcquisitionState::CapturePrepared;
  return 1;
}

int CAcquisition::SnapShot(BYTE* buffer, int size, int rowOrder) {
  std::lock_guard transition(transitionLock_);
  const AcquisitionState state = state_;
  if (state == AcquisitionState::PreviewRunning || state == AcquisitionState::TriggerRunning) {
    return host_.RecordError(TEVRIN_ERROR_NOT_READY);
  }
  if (state == AcquisitionState::Idle && !Setup()) return 0;
  // A snapshot from idle has the camera for its own length only.
  const auto stopUnlessPrepared = [&] {
    if (state == AcquisitionState::CapturePrepared) return;
    device_.StopCapture(0);
    ReleaseCamera(this);
  };
  std::lock_guard hold(frameLock_);
  if (!device_.StartCapture(CaptureMode::kSingle) || device_.WaitFrame(snapTimeout_) != WaitResult::kNewFrame) {
    stopUnlessPrepared();
    return host_.RecordError(TEVRIN_ERROR_TRANSFER);
  }
  if (!ReadFrame()) {
    stopUnlessPrepared();
    return ReportFrameError(target_.window, TEVRIN_ERROR_TRANSFER);
  }
  ProcessRawFrame();
  if (buffer && size != 0 && !CopyToCaller(buffer, size, rowOrder)) {
    stopUnlessPrepared();
    return host_.RecordError(TEVRIN_ERROR_BUFFER);
  }
  stopUnlessPrepared();
  imageValid_ = 1;
  return 1;
}

int CAcquisition::Trigger(const FrameTarget& target) {
  std::lock_guard transition(transitionLock_);
  // A running trigger acquisition is refused too: a second one would take
  // over the first one's thread.
  if (state_ != AcquisitionState::Idle) return host_.RecordError(TEVRIN_ERROR_NOT_READY);
  {
    std::lock_guard hold(frameLock_);
    target_ = target;
  }
  if (!OpenPreviewWindow()) return host_.RecordError(TEVRIN_ERROR_WINDOW_OR_SIZE);
  if (!Setup()) {
    CloseLocked();
    return 0;
  }
  state_ = AcquisitionState::TriggerRunning;
  snapTimeout_ = kTriggerSnapTimeoutMs;
  device_.SetFrameTimeout(kTriggerSnapTimeoutMs);
  device_.SetTriggerMode(TriggerMode::kExternal, 0);
  if (!StartThread(&CAcquisition::TriggerLoop)) {
    CloseLocked();
    return host_.RecordError(TEVRIN_ERROR_THREAD_START);
  }
  return 1;
}

int CAcquisition::Close() {
  std::lock_guard transition(transitionLock_);
  return CloseLocked();
}

// The thread goes first: it draws into the window and reads the images.
int CAcquisition::CloseLocked() {
  StopLocked();
  imageValid_ = 0;
  std::unique_ptr<CPreviewWindow> window;
  std::lock_guard hold(frameLock_);
  window = std::move(window_);
  return 1;
}

int CAcquisition::Record(const char* path, int durationMs, int showWindow) {
  std::lock_guard transition(transitionLock_);
  if (!path || !*path || durationMs < 1) return host_.RecordError(TEVRIN_ERROR_ARGUMENT);
  // A second recording would share the running one's file and buffers.
  if (recorder_.Active()) return host_.RecordError(TEVRIN_ERROR_NOT_READY);
  {
    std::lock_guard hold(frameLock_);
    target_ = {};
  }
  if (showWindow && state_ == AcquisitionState::Idle && !OpenPreviewWindow()) {
    return host_.RecordError(TEVRIN_ERROR_WINDOW_OR_SIZE);
  }
  if (!StartLocked()) {
    CloseLocked();
    return host_.RecordError(TEVRIN_ERROR_TEXT_OR_FILE);
  }
  RecordingFormat format;
  {
    std::lock_guard hold(frameLock_);
    const CDibImage& output = images_.Output();
    format = {output.Width(), output.Height(), output.BitCount(), kSampleSignificantBits};
  }
  if (const int error = recorder_.Start(path, durationMs, format)) {
    CloseLocked();
    return host_.RecordError(error);
  }
  return 1;
}

int CAcquisition::GetImage(BYTE* buffer, int size, int rowOrder) {
  std::lock_guard hold(frameLock_);
  if (!images_.Output().Bits() || !buffer) return host_.RecordError(TEVRIN_ERROR_BUFFER);
  if (!CopyToCaller(buffer, size, rowOrder)) return host_.RecordError(TEVRIN_ERROR_BUFFER);
  return 1;
}

AcquisitionState CAcquisition::Pause() {
  std::lock_guard transition(transitionLock_);
  const AcquisitionState state = state_;
  if (state == AcquisitionState::PreviewRunning || state == AcquisitionState::CapturePrepared) StopLocked();
  if (state == AcquisitionState::TriggerRunning) run_ = kPaused;
  return state;
}

void CAcquisition::Resume(AcquisitionState state) {
  std::lock_guard transition(transitionLock_);
  if (state == AcquisitionState::PreviewRunning) StartLocked();
  if (state == AcquisitionState::CapturePrepared) CaptureLocked();
  if (state == AcquisitionState::TriggerRunning && state_ == AcquisitionState::TriggerRunning) run_ = kRun;
}

HWND CAcquisition::PreviewWindow() {
  std::lock_guard hold(frameLock_);
  return PreviewWindowLocked();
}

HWND CAcquisition::PreviewWindowLocked() const {
  return window_ ? window_->Window() : nullptr;
}

bool CAcquisition::SleepUnlessStopped(int ms) const {
  do {
    const int slice = std::clamp(ms, 0, kStopPollMs);
    Sleep(static_cast<DWORD>(slice));
    ms -= slice;
  } while (ms > 0 && run_ != kStop);
  return run_ != kStop;
}

// The newest frame into the raw image, rows spread to its stride. A frame
// larger than the raw image (a window the device adjusted) is refused.
bool CAcquisition::ReadFrame() {
  CDibImage& raw = images_.Raw();
  const int frameSize = device_.FrameSize();
  if (!raw.Bits() || frameSize <= 0 || static_cast<size_t>(frameSize) > raw.ByteSize()) return false;
  if (!device_.GetFrame(raw.Bits(), 1)) return false;
  tevrin::image::SpreadRows(raw);
  return true;
}

// The exposure is judged on the frame as it came; the settings are read once
// for the frame; what the pipeline measured goes back.
void CAcquisition::ProcessRawFrame() {
  host_.ControlExposure(images_.Raw());
  const FrameSettings before = host_.TakeFrameSettings();
  FrameSettings settings = before;
  tevrin::image::ProcessFrame({images_.Buffers(), &settings.image, images_.Mode(), settings.mirror, settings.rawFilters,
                               &host_, &images_.Tables()});
  host_.StoreMeasurements(before, settings);
  imageValid_ = 1;
  recorder_.OnFrame(images_.Output());
}

void CAcquisition::Draw() {
  if (window_) window_->Draw(images_.DisplaySource(), images_.Mode() != ColorMode::Gray16);
}

int CAcquisition::CopyToCaller(BYTE* buffer, int size, int rowOrder) {
  if (images_.CopyOutput(buffer, size, rowOrder)) return 1;
  return ReportFrameError(target_.window, TEVRIN_ERROR_BUFFER);
}

bool CAcquisition::CopyToTarget() {
  return !target_.buffer || !target_.size || CopyToCaller(target_.buffer, target_.size, target_.rowOrder);
}

void CAcquisition::FillFrameInfo(int rate) {
  const CDibImage& raw = images_.Raw();
  frameInfo_.reserved = 0;
  frameInfo_.width = raw.Width();
  frameInfo_.height = raw.Height();
  frameInfo_.bitsPerPixel = Describe(images_.Mode()).bits;
  frameInfo_.frameRate10 = rate;
  frameInfo_.buffer = target_.buffer;
}

void CAcquisition::CountFrameForRate() {
  ++frameCount_;
  const DWORD now = GetTickCount();
  const DWORD elapsed = now - rateWindowStart_;
  if (elapsed <= 1000) return;
  frameRate10_ = static_cast<int>(frameCount_ * 10000.0 / elapsed);
  frameCount_ = 0;
  rateWindowStart_ = now;
}

void CAcquisition::PostFrameMessage(HWND window, WPARAM wParam, LPARAM lParam) {
  if (window) PostMessageA(window, TEVRIN_MSG_FRAME, wParam, lParam);
}

// A frame's failure goes to the frame window as well as into the history.
int CAcquisition::ReportFrameError(HWND window, int code) {
  PostFrameMessage(window, 0, code);
  return host_.RecordError(code);
}

// The camera stopped answering: the loop ends, and the application hears
// of it by both messages. A failure caused by a stop is no loss.
void CAcquisition::ReportDeviceLost() {
  if (run_.exchange(kStop) == kStop) return;
  recorder_.EndInput();
  std::lock_guard hold(frameLock_);
  ReportFrameError(target_.window, TEVRIN_ERROR_DEVICE_LOST);
}

void CAcquisition::PreviewLoop() {
  while (SleepUnlessStopped(host_.WaitTime())) {
    if (run_ != kRun) continue;
    const WaitResult waited = device_.WaitFrame(kPreviewWaitMs);
    if (waited == WaitResult::kError) {
      ReportDeviceLost();
      break;
    }
    if (waited != WaitResult::kNewFrame) continue;
    HWND window = nullptr;
    {
      std::lock_guard hold(frameLock_);
      window = target_.window;
      if (!ReadFrame()) {
        ReportFrameError(window, TEVRIN_ERROR_TRANSFER);
        continue;
      }
      CountFrameForRate();
      FillFrameInfo(frameRate10_);
      ProcessRawFrame();
      Draw();
      if (!CopyToTarget()) continue;
    }
    if (run_ == kRun) PostFrameMessage(window, reinterpret_cast<WPARAM>(&frameInfo_), 0);
  }
}

void CAcquisition::TriggerLoop() {
  if (!SleepUnlessStopped(device_.GetExposureTime() / 10 + 100)) return;
  device_.SyncFrameCounter();
  while (run_ != kStop) {
    if (run_ != kRun) {
      Sleep(kPausedPollMs);
      continue;
    }
    if (!device_.StartCapture(CaptureMode::kCounted)) {
      ReportDeviceLost();
      break;
    }
    WaitResult waited = WaitResult::kNoNewFrame;
    for (int spent = 0; waited == WaitResult::kNoNewFrame && spent < kTriggerWaitMs && run_ != kStop;
         spent += kTriggerWaitSliceMs) {
      waited = device_.WaitFrame(kTriggerWaitSliceMs);
    }
    if (run_ == kStop) break;
    if (waited == WaitResult::kError) {
      ReportDeviceLost();
      break;
    }
    if (waited != WaitResult::kNewFrame) continue;
    std::lock_guard hold(frameLock_);
    // A frame that could not be read is reported, never processed from the last one's pixels.
    if (!ReadFrame()) {
      ReportFrameError(target_.window, TEVRIN_ERROR_TRANSFER);
      continue;
    }
    FillFrameInfo(0);
    ProcessRawFrame();
    if (!CopyToTarget()) continue;
    PostFrameMessage(target_.window, reinterpret_cast<WPARAM>(&frameInfo_), 0);
    Draw();
  }
}
