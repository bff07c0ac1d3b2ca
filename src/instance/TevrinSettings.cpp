#include <cstdio>

#include "instance/Tevrin.h"
#include "settings/RegistryKey.h"
#include "settings/StoredSettings.h"

namespace {

// A line of the trace log, shown with TEVRIN_LOG=settings:warn.
void Warn(const char* format, int camera) {
  char text[160];
  std::snprintf(text, sizeof text, format, camera);
  char line[192];
  std::snprintf(line, sizeof line, "[settings:warn] %s\n", text);
  OutputDebugStringA(line);
}

}  // namespace

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

// A registry that cannot be read leaves the defaults in use; they must then
// never be saved over the stored values, which a later load finds again.
void CTevrin::LoadCameraSettings(int number) {
  const AnalogLimits limits = Limits();
  std::lock_guard hold(settingsLock_);
  CRegKey::TakeUnreachable();
  LoadFilter(number, &image_);
  LoadGray(number, &image_);
  LoadAnalog(number, limits, &analog_);
  settingsUnread_ = CRegKey::TakeUnreachable();
  if (settingsUnread_) Warn("the registry could not be read: camera %d works with default settings", number);
}

// "Gain" goes first: it creates the camera's key that the gray save needs. A
// failed save loses what the application set, so the trace log says so.
void CTevrin::SaveCameraSettings() {
  std::lock_guard hold(settingsLock_);
  if (settingsUnread_) {
    Warn("the settings of camera %d were not saved: the stored ones were never read", settingsNumber_);
    return;
  }
  int saved = SaveAnalog(settingsNumber_, analog_);
  saved &= SaveFilter(settingsNumber_, image_);
  saved &= SaveGray(settingsNumber_, image_);
  if (!saved) Warn("the settings of camera %d could not be saved", settingsNumber_);
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
