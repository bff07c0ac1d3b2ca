#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "dialogs/DialogNotices.h"
#include "instance/AutoIris.h"
#include "instance/OkFlag.h"
#include "instance/Tevrin.h"

namespace {

constexpr int kUnitsPerSecond = 10000;

// Whole seconds in device units, saturated: the camera accepted the value, but
// a double far outside int's range must not reach the conversion.
int WholeSecondsToUnits(double seconds) {
  const double units = std::trunc(seconds) * kUnitsPerSecond;
  if (std::isnan(units)) return 0;
  return static_cast<int>(std::clamp(units, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

}  // namespace

AnalogSettings CTevrin::Analog() const {
  std::lock_guard hold(settingsLock_);
  return analog_;
}

void CTevrin::StoreAnalog(int AnalogSettings::*field, int value) {
  std::lock_guard hold(settingsLock_);
  analog_.*field = value;
}

// A global gain sets the colour gains as well.
void CTevrin::StoreGlobalGain(int gain) {
  std::lock_guard hold(settingsLock_);
  analog_.globalGain = analog_.gainGreen1 = analog_.gainRed = analog_.gainBlue = analog_.gainGreen2 = gain;
}

void CTevrin::StoreExposureSeconds(double seconds) {
  std::lock_guard hold(settingsLock_);
  analog_.exposureSeconds = seconds;
}

void CTevrin::RefreshExposureSeconds() {
  double seconds = 0.0;
  if (device_->HasExposureSeconds() && device_->GetExposureSeconds(&seconds)) StoreExposureSeconds(seconds);
}

int CTevrin::SetExposureUnits(int units) {
  if (units < device_->GetExposureTimeMin() || units > device_->GetExposureTimeMax()) {
    return RecordError(TEVRIN_ERROR_ARGUMENT);
  }
  if (!device_->SetExposure(units)) return RecordError(TEVRIN_ERROR_REGISTER);
  StoreAnalog(&AnalogSettings::exposure, units);
  RefreshExposureSeconds();
  return 1;
}

int CTevrin::SetExposureTimeEx(double seconds) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  if (!device_->HasExposureSeconds()) return RecordError(TEVRIN_ERROR_UNSUPPORTED);
  if (std::isnan(seconds) || seconds < 0) return RecordError(TEVRIN_ERROR_ARGUMENT);
  if (!device_->SetExposureSeconds(seconds)) return 0;
  // The camera holds the time to its own range; what it took is kept.
  double accepted = seconds;
  device_->GetExposureSeconds(&accepted);
  std::lock_guard hold(settingsLock_);
  analog_.exposureSeconds = accepted;
  analog_.exposure = WholeSecondsToUnits(accepted);
  return 1;
}

double CTevrin::GetExposureTimeEx(int* ok) {
  SetOk(ok, 0);
  if (!device_) return Fail(TEVRIN_ERROR_NOT_READY, -1.0);
  if (!device_->HasExposureSeconds()) return Fail(TEVRIN_ERROR_UNSUPPORTED, -1.0);
  double seconds = 0.0;
  if (!SetOk(ok, device_->GetExposureSeconds(&seconds) ? 1 : 0)) return -1.0;
  StoreExposureSeconds(seconds);
  return seconds;
}

int CTevrin::SetRealExposureTime(int microseconds) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  exposureScratch_ = static_cast<int>(microseconds / 100.0);
  return SetExposureUnits(exposureScratch_);
}

int CTevrin::GetRealExposureTime(int* ok) {
  SetOk(ok, 0);
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  // Saturated: a long fractional exposure can hold more units than fit as microseconds.
  realExposure_ = static_cast<int>(std::clamp<std::int64_t>(std::int64_t{Analog().exposure} * 100, INT_MIN, INT_MAX));
  SetOk(ok, 1);
  return realExposure_;
}

double CTevrin::GetTemperatureEx(int* ok) {
  SetOk(ok, 0);
  if (!device_) return Fail(TEVRIN_ERROR_NOT_READY, 0.0);
  if (!device_->HasTemperature()) return Fail(TEVRIN_ERROR_UNSUPPORTED, 0.0);
  double celsius = 0.0;
  const int read = device_->GetTemperature(&celsius) ? 1 : 0;
  SetOk(ok, read);
  RecordError(read ? TEVRIN_ERROR_NONE : TEVRIN_ERROR_TEXT_OR_FILE);
  return read ? celsius : 0.0;
}

int CTevrin::SetAutoIris(int mode) {
  if (mode < kAutoIrisOff || mode > kAutoIrisGain) {
    PostError(TEVRIN_ERROR_ARGUMENT);
    return 0;
  }
  StoreAnalog(&AnalogSettings::autoIris, mode);
  return 1;
}

int CTevrin::GetAutoIris(int* ok) {
  SetOk(ok, 1);
  return Analog().autoIris;
}

// Runs on the thread that processes the frame, inside the frame lock; the
// camera's new value becomes the instance's, as if the application had set it.
void CTevrin::ControlExposure(const CDibImage& raw) {
  const std::optional<AutoIrisChange> change = StepAutoIris(Analog().autoIris, raw, *device_);
  if (!change) return;
  if (change->mode == kAutoIrisGain) {
    StoreGlobalGain(change->value);
    PostAutoIrisGain(analogPage_, change->value);
  } else {
    StoreAnalog(&AnalogSettings::exposure, change->value);
    RefreshExposureSeconds();
    PostAutoIrisExposure(analogPage_, change->value);
  }
}

int CTevrin::GetInternalCorrection(int* ok) {
  SetOk(ok, 0);
  if (!device_ || !device_->IsInternalCorrectionSupported()) {
    PostError(device_ ? TEVRIN_ERROR_UNSUPPORTED : TEVRIN_ERROR_NOT_READY);
    return 0;
  }
  SetOk(ok, 1);
  return device_->GetInternalCorrection();
}

int CTevrin::SetInternalCorrection(int value) {
  if (!device_ || !device_->IsInternalCorrectionSupported()) {
    PostError(device_ ? TEVRIN_ERROR_UNSUPPORTED : TEVRIN_ERROR_NOT_READY);
    return 0;
  }
  return device_->SetInternalCorrection(value);
}
