#include "FakeCameraDevice.h"

namespace {

std::string Args(std::initializer_list<long long> values) {
  std::string text;
  for (long long value : values) text += (text.empty() ? "" : ",") + std::to_string(value);
  return text;
}

}  // namespace

int CFakeCameraDevice::Log(const std::string& call, int result) {
  std::lock_guard hold(callsLock_);  // acquisition threads call too
  calls.push_back(call);
  return result;
}

int CFakeCameraDevice::Set(const char* name, int* field, int value) {
  if (setterResult) *field = value;
  return Log(std::string(name) + "(" + Args({value}) + ")", setterResult);
}

int CFakeCameraDevice::SetProductId(int productId) {
  return Log("SetProductId(" + Args({productId}) + ")", 1);
}

int CFakeCameraDevice::CreateController(HWND, const GUID*) {
  return Log("CreateController", 1);
}

int CFakeCameraDevice::CountDevices(int productId) {
  return productId == 0x3280 ? count : 0;
}

int CFakeCameraDevice::OpenDevice(int number) {
  return Log("OpenDevice(" + Args({number}) + ")", openResult);
}

int CFakeCameraDevice::CloseDevice() {
  return Log("CloseDevice", 1);
}

int CFakeCameraDevice::SetGlobalGain(int value) {
  return Set("SetGlobalGain", &globalGain, value);
}

int CFakeCameraDevice::SetColorGain(ColorChannel channel, int value) {
  if (setterResult) colorGains[channel] = value;
  return Log("SetColorGain(" + Args({static_cast<int>(channel), value}) + ")", setterResult);
}

int CFakeCameraDevice::SetExposure(int units) {
  return Set("SetExposure", &exposure, units);
}

int CFakeCameraDevice::SetExposureSeconds(double seconds) {
  if (setterResult) exposureSeconds = seconds;
  return Log("SetExposureSeconds(" + std::to_string(seconds) + ")", setterResult);
}

int CFakeCameraDevice::GetExposureSeconds(double* seconds) {
  *seconds = exposureSeconds;
  return registerResult;
}

int CFakeCameraDevice::SetMirrorV(int on) {
  return Set("SetMirrorV", &mirrorV, on);
}

int CFakeCameraDevice::SetMirrorH(int on) {
  return Set("SetMirrorH", &mirrorH, on);
}

int CFakeCameraDevice::SetCaptureWindow(int hStart, int vStart, int hEffective, int vEffective, int subSample) {
  return Log("SetCaptureWindow(" + Args({hStart, vStart, hEffective, vEffective, subSample}) + ")", windowResult);
}

int CFakeCameraDevice::SetCooler(int on) {
  return Set("SetCooler", &cooler, on);
}

int CFakeCameraDevice::GetTemperature(double* celsius) {
  *celsius = temperature;
  return temperatureReadable;
}

int CFakeCameraDevice::SetModeSwitch(int value) {
  return Set("SetModeSwitch", &modeSwitch, value);
}

int CFakeCameraDevice::SetRegisterPreset(int on) {
  return Set("SetRegisterPreset", &registerPreset, on);
}

int CFakeCameraDevice::SetBlackLevel(int value) {
  return Set("SetBlackLevel", &blackLevel, value);
}

int CFakeCameraDevice::ExtensionCommand(int command, int* data) {
  extensionData.push_back(*data);
  return Log("ExtensionCommand(" + Args({command, *data}) + ")", setterResult);
}

int CFakeCameraDevice::ReadEepromByte(int address, std::uint8_t* value) {
  if (!registerResult || failingEepromReads.count(address)) return 0;
  *value = eeprom.count(address) ? eeprom[address] : 0xFF;
  return 1;
}

int CFakeCameraDevice::WriteEepromByte(int address, std::uint8_t value) {
  Log("WriteEepromByte(" + Args({address, value}) + ")", registerResult);
  if (!registerResult) return 0;
  if (eepromWritesIgnored > 0) {
    --eepromWritesIgnored;
  } else {
    eeprom[address] = value;
  }
  return 1;
}

int CFakeCameraDevice::ReadFpgaRegister(int address, int* ok) {
  *ok = registerResult;
  return fpga[address] & 0xFFFF;
}

int CFakeCameraDevice::WriteFpgaRegister(int address, int value) {
  if (registerResult) fpga[address] = value;
  return Log("WriteFpgaRegister(" + Args({address, value}) + ")", registerResult);
}

int CFakeCameraDevice::ReadSensorRegister(int address, int* ok) {
  *ok = registerResult;
  return sensor[address];
}

int CFakeCameraDevice::WriteRegisterRaw(int address, int value) {
  if (registerResult) sensor[address] = value;
  return Log("WriteRegisterRaw(" + Args({address, value}) + ")", registerResult);
}

int CFakeCameraDevice::Report(double* out, double value) const {
  *out = value;
  return 1;
}

int CFakeCameraDevice::SetInternalCorrection(int value) {
  internalCorrection = value;
  return Log("SetInternalCorrection(" + Args({value}) + ")", setterResult);
}

int CFakeCameraDevice::SetBitDepth(int sixteen) {
  return Log("SetBitDepth(" + Args({sixteen}) + ")", setterResult);
}

int CFakeCameraDevice::SetTriggerMode(tevrin::device::TriggerMode mode, int force) {
  return Log("SetTriggerMode(" + Args({static_cast<int>(mode), force}) + ")", setterResult);
}

int CFakeCameraDevice::StartCapture(tevrin::device::CaptureMode mode) {
  return Log("StartCapture(" + Args({static_cast<int>(mode)}) + ")", setterResult);
}

int CFakeCameraDevice::StopCapture(int abort) {
  return Log("StopCapture(" + Args({abort}) + ")", 1);
}

int CFakeCameraDevice::SetFrameTimeout(int ms) {
  return Log("SetFrameTimeout(" + Args({ms}) + ")", 1);
}

int CFakeCameraDevice::PrepareStart() {
  return Log("PrepareStart()", 1);
}
