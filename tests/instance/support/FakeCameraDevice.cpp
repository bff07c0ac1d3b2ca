#include "FakeCameraDevice.h"

namespace {

std::string Args(std::initializer_list<long long> values) {
  std::string text;
  for (long long value : values) text += (text.empty() ? "" : ",") + std::to_string(value);
  return text;
}

}  // namespace

int CFakeCameraDevice::Log(const std::string& call, int result) {
  calls.push_back(call);
  return result;
}

void CFakeCameraDevice::SetProductId(int productId) {
  Log("SetProductId(" + Args({productId}) + ")", 1);
}

int CFakeCameraDevice::CreateController(HWND, const GUID&) {
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
  if (setterResult) globalGain = value;
  return Log("SetGlobalGain(" + Args({value}) + ")", setterResult);
}

int CFakeCameraDevice::SetColorGain(ColorChannel channel, int value) {
  if (setterResult) colorGains[channel] = value;
  return Log("SetColorGain(" + Args({static_cast<int>(channel), value}) + ")", setterResult);
}

int CFakeCameraDevice::SetExposure(int units) {
  if (setterResult) exposure = units;
  return Log("SetExposure(" + Args({units}) + ")", setterResult);
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
  if (setterResult) mirrorV = on;
  return Log("SetMirrorV(" + Args({on}) + ")", setterResult);
}

int CFakeCameraDevice::SetMirrorH(int on) {
  if (setterResult) mirrorH = on;
  return Log("SetMirrorH(" + Args({on}) + ")", setterResult);
}

int CFakeCameraDevice::SetCaptureWindow(int hStart, int vStart, int hEffective, int vEffective, int subSample) {
  return Log("SetCaptureWindow(" + Args({hStart, vStart, hEffective, vEffective, subSample}) + ")", windowResult);
}

int CFakeCameraDevice::SetCooler(int on) {
  if (setterResult) cooler = on;
  return Log("SetCooler(" + Args({on}) + ")", setterResult);
}

int CFakeCameraDevice::GetTemperature(double* celsius) {
  *celsius = temperature;
  return temperatureReadable;
}

int CFakeCameraDevice::SetModeSwitch(int value) {
  if (setterResult) modeSwitch = value;
  return Log("SetModeSwitch(" + Args({value}) + ")", setterResult);
}

int CFakeCameraDevice::SetRegisterPreset(int on) {
  if (setterResult) registerPreset = on;
  return Log("SetRegisterPreset(" + Args({on}) + ")", setterResult);
}

int CFakeCameraDevice::GetRegisterPreset(int* on) {
  *on = registerPreset;
  return registerResult;
}

int CFakeCameraDevice::SetBlackLevel(int value) {
  if (setterResult) blackLevel = value;
  return Log("SetBlackLevel(" + Args({value}) + ")", setterResult);
}

int CFakeCameraDevice::GetBlackLevel(int* value) {
  *value = blackLevel;
  return registerResult;
}

int CFakeCameraDevice::ExtensionCommand(int index, int command, int* data) {
  extensionData.push_back(*data);
  return Log("ExtensionCommand(" + Args({index, command, *data}) + ")", setterResult);
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

int CFakeCameraDevice::ReadFpgaRegister(int address, std::uint16_t* value) {
  *value = static_cast<std::uint16_t>(fpga[address]);
  return registerResult;
}

int CFakeCameraDevice::WriteFpgaRegister(int address, std::uint16_t value) {
  if (registerResult) fpga[address] = value;
  return Log("WriteFpgaRegister(" + Args({address, value}) + ")", registerResult);
}

int CFakeCameraDevice::ReadSensorRegister(int address, int* value) {
  *value = sensor[address];
  return registerResult;
}

int CFakeCameraDevice::WriteSensorRegister(int address, int value) {
  if (registerResult) sensor[address] = value;
  return Log("WriteSensorRegister(" + Args({address, value}) + ")", registerResult);
}

int CFakeCameraDevice::SetInternalCorrection(int value) {
  internalCorrection = value;
  return Log("SetInternalCorrection(" + Args({value}) + ")", setterResult);
}
