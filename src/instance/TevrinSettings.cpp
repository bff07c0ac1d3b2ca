#include "instance/Tevrin.h"
#include "settings/StoredSettings.h"

OutputCapabilities CTevrin::Capabilities() {
  if (!device_) return {};
  return {device_->SupportsGray8() != 0, device_->SupportsGray16() != 0, device_->SupportsColor() != 0};
}

AnalogLimits CTevrin::Limits() {
  AnalogLimits limits;
  if (!device_) return limits;
  limits.globalGainDefault = device_->GetGlobalGainDefault();
  limits.globalGainMin = device_->GetGlobalGainMin();
  limits.globalGainMax = device_->GetGlobalGainMax();
  limits.colorGainDefault = device_->GetColorGainDefault();
  limits.colorGainMin = device_->GetColorGainMin();
  limits.colorGainMax = device_->GetColorGainMax();
  limits.exposureDefault = device_->GetExposureTimeDefault();
  limits.exposureMin = device_->GetExposureTimeMin();
  limits.exposureMax = device_->GetExposureTimeMax();
  limits.mirrorVDefault = device_->GetMirrorVDefault();
  limits.mirrorHDefault = device_->GetMirrorHDefault();
  limits.blackLevelDefault = device_->GetBlackLevelDefault();
  limits.hasExposureSeconds = device_->HasExposureSeconds() != 0;
  device_->GetExposureSecondsDefault(&limits.exposureSecondsDefault);
  device_->GetExposureSecondsMin(&limits.exposureSecondsMin);
  device_->GetExposureSecondsMax(&limits.exposureSecondsMax);
  return limits;
}

void CTevrin::LoadCameraSettings(int number) {
  const AnalogLimits limits = Limits();
  std::lock_guard hold(settingsLock_);
  LoadFilter(number, &image_);
  LoadGray(number, &image_);
  LoadAnalog(number, limits, &analog_);
}

// "Gain" goes first: it creates the camera's key that the gray save needs.
void CTevrin::SaveCameraSettings() {
  std::lock_guard hold(settingsLock_);
  SaveAnalog(settingsNumber_, analog_);
  SaveFilter(settingsNumber_, image_);
  SaveGray(settingsNumber_, image_);
}

void CTevrin::ReadStoredGeometry() {
  const OutputCapabilities capabilities = Capabilities();
  std::lock_guard hold(settingsLock_);
  LoadGeometry(settingsNumber_, capabilities, &geometry_);
}

void CTevrin::ReadStoredFormat() {
  FormatSettings format{colorMode_, subSample_, waitTime_, clock_};
  LoadFormat(settingsNumber_, Capabilities(), &format);
  colorMode_ = format.colorMode;
  subSample_ = format.subSample;
  waitTime_ = format.waitTime;
  clock_ = format.clock;
}

int CTevrin::ReloadStoredFormat() {
  ReadStoredGeometry();
  ReadStoredFormat();
  return 1;
}
