// The instance's side of its acquisition: the exports' operations, and what
// the acquisition asks of the instance (the camera's preparation, the format
// and the settings of each frame).
#include "dialogs/DialogNotices.h"
#include "instance/Tevrin.h"

using tevrin::image::ColorMode;
using tevrin::image::Describe;

int CTevrin::StartPreview() {
  return WithAcquisition([](CAcquisition& acquisition) { return acquisition.StartPreview(); });
}

int CTevrin::Preview() {
  return CallBackPreview(nullptr, nullptr, 0, 0);
}

int CTevrin::CallBackPreview(HWND frameWindow, BYTE* buffer, int size, int rowOrder) {
  if (size < 0) return RecordError(TEVRIN_ERROR_BUFFER);
  return WithAcquisition([&](CAcquisition& acquisition) {
    return acquisition.CallBackPreview({frameWindow, buffer, size, rowOrder});
  });
}

int CTevrin::StopPreview() {
  return WithAcquisition([](CAcquisition& acquisition) { return acquisition.StopPreview(); });
}

int CTevrin::Capture() {
  return WithAcquisition([](CAcquisition& acquisition) { return acquisition.Capture(); });
}

int CTevrin::SnapShot(BYTE* buffer, int size, int rowOrder) {
  return WithAcquisition([&](CAcquisition& acquisition) { return acquisition.SnapShot(buffer, size, rowOrder); });
}

int CTevrin::Trigger(HWND frameWindow, BYTE* buffer, int size, int rowOrder) {
  if (size < 0) return RecordError(TEVRIN_ERROR_BUFFER);
  return WithAcquisition([&](CAcquisition& acquisition) {
    return acquisition.Trigger({frameWindow, buffer, size, rowOrder});
  });
}

int CTevrin::Record(const char* path, int durationMs, int showWindow) {
  return WithAcquisition([&](CAcquisition& acquisition) { return acquisition.Record(path, durationMs, showWindow); });
}

int CTevrin::Close() {
  return acquisition_ ? acquisition_->Close() : 1;
}

int CTevrin::GetImage(BYTE* buffer, int size, int rowOrder) {
  return WithAcquisition([&](CAcquisition& acquisition) { return acquisition.GetImage(buffer, size, rowOrder); });
}

AcquisitionState CTevrin::AcquisitionState() const {
  return acquisition_ ? acquisition_->State() : ::AcquisitionState::Idle;
}

HWND CTevrin::PreviewWindow() const {
  return acquisition_ ? acquisition_->PreviewWindow() : nullptr;
}

int CTevrin::WithAcquisitionPaused(const std::function<int()>& dialog) {
  const ::AcquisitionState state = acquisition_ ? acquisition_->Pause() : ::AcquisitionState::Idle;
  const int result = dialog();
  if (result == 1) ReloadStoredFormat();
  if (acquisition_) acquisition_->Resume(state);
  return result;
}

int CTevrin::CheckCamera() {
  if (!device_->IsPresent(device_->GetOrdinal())) return RecordError(TEVRIN_ERROR_NO_CAMERA);
  std::lock_guard hold(settingsLock_);
  if (!IsValidWindow(geometry_, subSample_)) return RecordError(TEVRIN_ERROR_GEOMETRY);
  return 1;
}

AcquisitionFormat CTevrin::Format() {
  const int divisor = SubSampleDivisor(subSample_);
  std::lock_guard hold(settingsLock_);
  return {static_cast<ColorMode>(colorMode_.load()), geometry_.EH / divisor, geometry_.EV / divisor};
}

PreviewPlacement CTevrin::Placement() {
  std::lock_guard hold(settingsLock_);
  return placement_;
}

// What the camera needs before frames flow, in the order the sensor expects.
int CTevrin::PrepareCamera(const AcquisitionFormat& format) {
  device_->SetBitDepth(Describe(format.mode).rawBits == 16 ? 1 : 0);
  const Geometry geometry = CurrentGeometry();
  const int subSample = subSample_;
  if (!device_->SetCaptureWindow(geometry.EHS, geometry.EVS, geometry.EH, geometry.EV, subSample)) {
    return RecordError(TEVRIN_ERROR_GEOMETRY);
  }
  const AnalogSettings analog = Analog();
  device_->SetMirrorV(analog.mirrorV);
  device_->SetMirrorH(analog.mirrorH);
  device_->SetTriggerMode(tevrin::device::TriggerMode::kFreeRun, 1);
  SendGainsAndExposure(analog);
  realExposure_ = analog.exposure * 100;
  if (device_->HasExtendedMode()) device_->SetExtendedMode(0);
  if (device_->HasModeSwitch()) {
    device_->SetModeSwitch(0);
    device_->SetModeSwitch(analog.modeSwitch);
  }
  if (device_->HasBlackLevel()) device_->SetBlackLevel(analog.blackLevel);
  device_->PrepareStart();
  const bool horizontal = device_->IsMirrorHInSensor() != 0;
  const bool vertical = device_->IsMirrorVInSensor() != 0;
  std::lock_guard hold(settingsLock_);
  mirrorHInSensor_ = horizontal;
  mirrorVInSensor_ = vertical;
  frameWindow_ = {geometry.EHS, geometry.EVS, SubSampleDivisor(subSample)};
  return 1;
}

FrameSettings CTevrin::TakeFrameSettings() {
  std::lock_guard hold(settingsLock_);
  return {image_,
          {analog_.mirrorH != 0, analog_.mirrorV != 0, mirrorHInSensor_, mirrorVInSensor_},
          {maskFilter_ != 0, dotFilter_ != 0, frameWindow_}};
}

// The raw-frame filters read the references under the mask lock, which the
// mask files also take, so a reference is never replaced mid-correction.
void CTevrin::WithDefectMasks(int bitCount, const std::function<void(const tevrin::image::DefectMasks&)>& use) {
  const bool wide = bitCount == 16;
  std::lock_guard hold(maskLock_);
  use({&masks_[wide ? kDarkRef16 : kDarkRef8], &masks_[wide ? kWhiteRef16 : kWhiteRef8],
       &masks_[wide ? kHotMap16 : kHotMap8], &masks_[wide ? kColdMap16 : kColdMap8],
       &masks_[wide ? kDotMap16 : kDotMap8]});
}

// Only the values the pipeline changed go back, so that what the application
// set meanwhile is kept.
void CTevrin::StoreMeasurements(const FrameSettings& before, const FrameSettings& after) {
  static constexpr int ImageSettings::*kMeasured[] = {
      &ImageSettings::grayGainR,      &ImageSettings::grayGainG1,          &ImageSettings::grayGainG2,
      &ImageSettings::grayGainB,      &ImageSettings::grayAutoGainRequest, &ImageSettings::bayerGainRed,
      &ImageSettings::bayerGainGreen, &ImageSettings::bayerGainBlue,       &ImageSettings::bayerGainAuto,
  };
  bool measured = false;
  {
    std::lock_guard hold(settingsLock_);
    for (int ImageSettings::*field : kMeasured) {
      if (before.image.*field == after.image.*field) continue;
      image_.*field = after.image.*field;
      measured = true;
    }
    for (int working = 0; working < 2; ++working) {
      if (before.image.bayerAutoWorking[working] == after.image.bayerAutoWorking[working]) continue;
      image_.bayerAutoWorking[working] = after.image.bayerAutoWorking[working];
      measured = true;
    }
  }
  if (measured) PostImageMeasured(imageDialog_);
}

ImageSettings CTevrin::Image() const {
  std::lock_guard hold(settingsLock_);
  return image_;
}

Geometry CTevrin::CurrentGeometry() const {
  std::lock_guard hold(settingsLock_);
  return geometry_;
}
