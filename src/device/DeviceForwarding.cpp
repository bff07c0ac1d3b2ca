// The operations that pass straight through to the sensor driver. Without a
// sensor each answers 0.
#include <mutex>

#include "device/TevrinU3K5Base.h"

namespace {

// The acquisition thread sets gain and exposure (automatic exposure) while the
// application reads them: the driver's state is touched under one lock.
using SensorLock = std::lock_guard<std::recursive_mutex>;

template <typename... Params, typename... Args>
int Call(std::recursive_mutex& lock, CSensorBase* sensor, int (CSensorBase::*operation)(Params...), Args... args) {
  SensorLock hold(lock);
  return sensor ? (sensor->*operation)(static_cast<Params>(args)...) : 0;
}

// A getter that reports through an output pointer: the value it wrote.
int Value(std::recursive_mutex& lock, CSensorBase* sensor, int (CSensorBase::*operation)(int*)) {
  SensorLock hold(lock);
  int value = 0;
  if (sensor) (sensor->*operation)(&value);
  return value;
}

int ChannelValue(std::recursive_mutex& lock, CSensorBase* sensor, int (CSensorBase::*operation)(int, int*),
                 int channel) {
  SensorLock hold(lock);
  int value = 0;
  if (sensor) (sensor->*operation)(channel, &value);
  return value;
}

int DoubleValue(std::recursive_mutex& lock, CSensorBase* sensor, int (CSensorBase::*operation)(double*), double* out) {
  SensorLock hold(lock);
  double value = 0;
  const int result = sensor ? (sensor->*operation)(&value) : 0;
  if (out) *out = value;
  return result;
}

int Info(std::recursive_mutex& lock, CSensorBase* sensor, int32_t SensorInfo::*field) {
  SensorLock hold(lock);
  return sensor ? sensor->Info().*field : 0;
}

}  // namespace

int CTevrinU3K5Base::GetPixelClockMode() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetPixelClockMode);
}
int CTevrinU3K5Base::SetMirrorH(int on) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetMirrorH, on);
}
int CTevrinU3K5Base::SetMirrorV(int on) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetMirrorV, on);
}
int CTevrinU3K5Base::GetMirrorH() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetMirrorH);
}
int CTevrinU3K5Base::GetMirrorV() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetMirrorV);
}
int CTevrinU3K5Base::GetMirrorHDefault() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::GetMirrorHDefault);
}
int CTevrinU3K5Base::GetMirrorVDefault() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::GetMirrorVDefault);
}
int CTevrinU3K5Base::IsMirrorVInSensor() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::IsMirrorVInSensor);
}
int CTevrinU3K5Base::IsMirrorHInSensor() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::IsMirrorHInSensor);
}
int CTevrinU3K5Base::GetTriggerMode() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetTriggerMode);
}

int CTevrinU3K5Base::GetWidthAdjustable() {
  return Info(sensorCalls_, Sensor(), &SensorInfo::widthAdjustable);
}
int CTevrinU3K5Base::GetHeightAdjustable() {
  return Info(sensorCalls_, Sensor(), &SensorInfo::heightAdjustable);
}
int CTevrinU3K5Base::GetMaxWidth() {
  return Info(sensorCalls_, Sensor(), &SensorInfo::maxWidth);
}
int CTevrinU3K5Base::GetMaxHeight() {
  return Info(sensorCalls_, Sensor(), &SensorInfo::maxHeight);
}
int CTevrinU3K5Base::GetDefaultWidth() {
  return Info(sensorCalls_, Sensor(), &SensorInfo::defaultWidth);
}
int CTevrinU3K5Base::GetDefaultHeight() {
  return Info(sensorCalls_, Sensor(), &SensorInfo::defaultHeight);
}
int CTevrinU3K5Base::GetDefaultX() {
  return Info(sensorCalls_, Sensor(), &SensorInfo::defaultX);
}
int CTevrinU3K5Base::GetDefaultY() {
  return Info(sensorCalls_, Sensor(), &SensorInfo::defaultY);
}

int CTevrinU3K5Base::SetGlobalGain(int value) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetGlobalGain, value);
}
int CTevrinU3K5Base::GetGlobalGain() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetGlobalGain);
}
int CTevrinU3K5Base::GetGlobalGainMin() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetGlobalGainMin);
}
int CTevrinU3K5Base::GetGlobalGainMax() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetGlobalGainMax);
}
int CTevrinU3K5Base::GetGlobalGainDefault() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetGlobalGainDefault);
}

int CTevrinU3K5Base::GetExposureTime() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetExposureTime);
}
int CTevrinU3K5Base::GetExposureTimeMin() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetExposureTimeMin);
}
int CTevrinU3K5Base::GetExposureTimeMax() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetExposureTimeMax);
}
int CTevrinU3K5Base::GetExposureTimeDefault() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetExposureTimeDefault);
}
int CTevrinU3K5Base::SetExposureLines(int lines) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetExposureLines, lines);
}
int CTevrinU3K5Base::GetExposureLines() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetExposureLines);
}
int CTevrinU3K5Base::GetExposureLinesMin() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetExposureLinesMin);
}
int CTevrinU3K5Base::GetExposureLinesMax() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetExposureLinesMax);
}
int CTevrinU3K5Base::GetExposureLinesDefault() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetExposureLinesDefault);
}
int CTevrinU3K5Base::HasExposureSeconds() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::HasExposureSeconds);
}
int CTevrinU3K5Base::GetExposureSeconds(double* s) {
  return DoubleValue(sensorCalls_, Sensor(), &CSensorBase::GetExposureSeconds, s);
}
int CTevrinU3K5Base::GetExposureSecondsMin(double* s) {
  return DoubleValue(sensorCalls_, Sensor(), &CSensorBase::GetExposureSecondsMin, s);
}
int CTevrinU3K5Base::GetExposureSecondsMax(double* s) {
  return DoubleValue(sensorCalls_, Sensor(), &CSensorBase::GetExposureSecondsMax, s);
}
int CTevrinU3K5Base::GetExposureSecondsDefault(double* s) {
  return DoubleValue(sensorCalls_, Sensor(), &CSensorBase::GetExposureSecondsDefault, s);
}

int CTevrinU3K5Base::SetChannelGain(int channel, int value) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetChannelGain, channel, value);
}
int CTevrinU3K5Base::GetChannelGain(int c) {
  return ChannelValue(sensorCalls_, Sensor(), &CSensorBase::GetChannelGain, c);
}
int CTevrinU3K5Base::GetChannelGainMin(int c) {
  return ChannelValue(sensorCalls_, Sensor(), &CSensorBase::GetChannelGainMin, c);
}
int CTevrinU3K5Base::GetChannelGainMax(int c) {
  return ChannelValue(sensorCalls_, Sensor(), &CSensorBase::GetChannelGainMax, c);
}
int CTevrinU3K5Base::GetChannelGainDefault(int c) {
  return ChannelValue(sensorCalls_, Sensor(), &CSensorBase::GetChannelGainDefault, c);
}
int CTevrinU3K5Base::SetChannelOffset(int channel, int value) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetChannelOffset, channel, value);
}
int CTevrinU3K5Base::GetChannelOffset(int c) {
  return ChannelValue(sensorCalls_, Sensor(), &CSensorBase::GetChannelOffset, c);
}
int CTevrinU3K5Base::GetChannelOffsetMin(int c) {
  return ChannelValue(sensorCalls_, Sensor(), &CSensorBase::GetChannelOffsetMin, c);
}
int CTevrinU3K5Base::GetChannelOffsetMax(int c) {
  return ChannelValue(sensorCalls_, Sensor(), &CSensorBase::GetChannelOffsetMax, c);
}
int CTevrinU3K5Base::GetChannelOffsetDefault(int c) {
  return ChannelValue(sensorCalls_, Sensor(), &CSensorBase::GetChannelOffsetDefault, c);
}

int CTevrinU3K5Base::SetColorGainRed(int value) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetColorGainRed, value);
}
int CTevrinU3K5Base::GetColorGainRed() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetColorGainRed);
}
int CTevrinU3K5Base::SetColorGainGreen1(int value) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetColorGainGreen1, value);
}
int CTevrinU3K5Base::GetColorGainGreen1() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetColorGainGreen1);
}
int CTevrinU3K5Base::SetColorGainGreen2(int value) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetColorGainGreen2, value);
}
int CTevrinU3K5Base::GetColorGainGreen2() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetColorGainGreen2);
}
int CTevrinU3K5Base::SetColorGainBlue(int value) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetColorGainBlue, value);
}
int CTevrinU3K5Base::GetColorGainBlue() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetColorGainBlue);
}
int CTevrinU3K5Base::GetColorGainMin() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetColorGainMin);
}
int CTevrinU3K5Base::GetColorGainMax() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetColorGainMax);
}
int CTevrinU3K5Base::GetColorGainDefault() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetColorGainDefault);
}

int CTevrinU3K5Base::HasBlackLevel() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::HasBlackLevel);
}
int CTevrinU3K5Base::SetBlackLevel(int value) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetBlackLevel, value);
}
int CTevrinU3K5Base::GetBlackLevel() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetBlackLevel);
}
int CTevrinU3K5Base::GetBlackLevelMin() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetBlackLevelMin);
}
int CTevrinU3K5Base::GetBlackLevelMax() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetBlackLevelMax);
}
int CTevrinU3K5Base::GetBlackLevelDefault() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetBlackLevelDefault);
}
int CTevrinU3K5Base::HasSensorOption() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::HasSensorOption);
}
int CTevrinU3K5Base::SetSensorOption(int value) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetSensorOption, value);
}
int CTevrinU3K5Base::GetSensorOption() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetSensorOption);
}
int CTevrinU3K5Base::WriteRegisterRaw(int address, int value) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::WriteRegisterRaw, address, value);
}

int CTevrinU3K5Base::PrepareStart() {
  if (Sensor()) Sensor()->PrepareStart();
  return 0;
}
int CTevrinU3K5Base::ResetStream() {
  if (Sensor()) Sensor()->ResetStream();
  return 0;
}
int CTevrinU3K5Base::ExtensionCommand(int command, int* data) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::ExtensionCommand, command, data);
}
int CTevrinU3K5Base::HasModeSwitch() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::HasModeSwitch);
}
int CTevrinU3K5Base::SetModeSwitch(int value) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetModeSwitch, value);
}
int CTevrinU3K5Base::GetModeSwitch() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::GetModeSwitch);
}

int CTevrinU3K5Base::HasCooler() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::HasCooler);
}
int CTevrinU3K5Base::GetCooler() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::GetCooler);
}
int CTevrinU3K5Base::SetCooler(int on) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetCooler, on);
}
int CTevrinU3K5Base::HasTemperature() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::HasTemperature);
}
int CTevrinU3K5Base::GetTemperature(double* c) {
  return DoubleValue(sensorCalls_, Sensor(), &CSensorBase::GetTemperature, c);
}
int CTevrinU3K5Base::HasAuxSwitch() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::HasAuxSwitch);
}
int CTevrinU3K5Base::GetAuxSwitch() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetAuxSwitch);
}
int CTevrinU3K5Base::SetAuxSwitch(int value) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetAuxSwitch, value);
}
int CTevrinU3K5Base::HasExtendedMode() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::HasExtendedMode);
}
int CTevrinU3K5Base::GetExtendedMode() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetExtendedMode);
}
int CTevrinU3K5Base::SetExtendedMode(int value) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetExtendedMode, value);
}
int CTevrinU3K5Base::HasTemperatureControl() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::HasTemperatureControl);
}
int CTevrinU3K5Base::SensorReserved117() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::Reserved117);
}
int CTevrinU3K5Base::SensorReserved118() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::Reserved118);
}
int CTevrinU3K5Base::GetControlTemperature() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetControlTemperature);
}
int CTevrinU3K5Base::SetTargetTemperature(int value) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetTargetTemperature, value);
}

int CTevrinU3K5Base::CheckModeLimit(int a, int b) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::CheckModeLimit, a, b);
}
int CTevrinU3K5Base::GetModeStatus(int* status, short* code, char* text, char* detail) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::GetModeStatus, status, code, text, detail);
}
int CTevrinU3K5Base::SetAuxiliaryValue(int value) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetAuxiliaryValue, value);
}
int CTevrinU3K5Base::ApplyAuxiliary() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::ApplyAuxiliary);
}
int CTevrinU3K5Base::HasAuxiliary() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::HasAuxiliary);
}
int CTevrinU3K5Base::HasRegisterPreset() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::HasRegisterPreset);
}
int CTevrinU3K5Base::GetRegisterPreset() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetRegisterPreset);
}
int CTevrinU3K5Base::SetRegisterPreset(int on) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetRegisterPreset, on);
}
int CTevrinU3K5Base::HasGainLevel() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::HasGainLevel);
}
int CTevrinU3K5Base::GetGainLevelMin() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetGainLevelMin);
}
int CTevrinU3K5Base::GetGainLevelMax() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetGainLevelMax);
}
int CTevrinU3K5Base::GetGainLevelDefault() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::GetGainLevelDefault);
}
int CTevrinU3K5Base::ReadGainLevel() {
  return Value(sensorCalls_, Sensor(), &CSensorBase::ReadGainLevel);
}
int CTevrinU3K5Base::SetGainLevel(int value) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetGainLevel, value);
}
int CTevrinU3K5Base::GetGainLevelLabel(int level, GainLevelLabel* label) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::GetGainLevelLabel, level, label);
}
int CTevrinU3K5Base::HasModeSelect() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::HasModeSelect);
}
int CTevrinU3K5Base::SetModeSelect(int value) {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SetModeSelect, value);
}
int CTevrinU3K5Base::GetModeSelect() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::GetModeSelect);
}
int CTevrinU3K5Base::SupportsGray8() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SupportsGray8);
}
int CTevrinU3K5Base::SupportsGray16() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SupportsGray16);
}
int CTevrinU3K5Base::SupportsColor() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::SupportsColor);
}
int CTevrinU3K5Base::HasFeatureBit() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::HasFeatureBit);
}
int CTevrinU3K5Base::EnableFeatureBit() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::EnableFeatureBit);
}
int CTevrinU3K5Base::HasNewStatus() {
  return Call(sensorCalls_, Sensor(), &CSensorBase::HasNewStatus);
}
