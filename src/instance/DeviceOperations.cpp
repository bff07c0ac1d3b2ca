#include "instance/DeviceOperations.h"

#include <new>

int CDeviceOperations::SetColorGain(ColorChannel channel, int value) {
  switch (channel) {
    case ColorChannel::Green1:
      return device_.SetColorGainGreen1(value);
    case ColorChannel::Red:
      return device_.SetColorGainRed(value);
    case ColorChannel::Blue:
      return device_.SetColorGainBlue(value);
    case ColorChannel::Green2:
      return device_.SetColorGainGreen2(value);
  }
  return 0;
}

int CDeviceOperations::GetColorGain(ColorChannel channel) {
  switch (channel) {
    case ColorChannel::Green1:
      return device_.GetColorGainGreen1();
    case ColorChannel::Red:
      return device_.GetColorGainRed();
    case ColorChannel::Blue:
      return device_.GetColorGainBlue();
    case ColorChannel::Green2:
      return device_.GetColorGainGreen2();
  }
  return 0;
}

double CDeviceOperations::GetExposureSecondsMin() {
  double seconds = 0;
  device_.GetExposureSecondsMin(&seconds);
  return seconds;
}

double CDeviceOperations::GetExposureSecondsMax() {
  double seconds = 0;
  device_.GetExposureSecondsMax(&seconds);
  return seconds;
}

double CDeviceOperations::GetExposureSecondsDefault() {
  double seconds = 0;
  device_.GetExposureSecondsDefault(&seconds);
  return seconds;
}

int CDeviceOperations::GetRegisterPreset(int* on) {
  if (!on || !device_.HasRegisterPreset()) return 0;
  *on = device_.GetRegisterPreset();
  return 1;
}

int CDeviceOperations::GetBlackLevel(int* value) {
  if (!value || !device_.HasBlackLevel()) return 0;
  *value = device_.GetBlackLevel();
  return 1;
}

int CDeviceOperations::ReadFpgaRegister(int address, std::uint16_t* value) {
  int ok = 0;
  const int read = device_.ReadFpgaRegister(address, &ok);
  if (ok && value) *value = static_cast<std::uint16_t>(read);
  return ok;
}

int CDeviceOperations::ReadSensorRegister(int address, int* value) {
  int ok = 0;
  const int read = device_.ReadSensorRegister(address, &ok);
  if (ok && value) *value = read;
  return ok;
}

// The instance's raw image is sized from its own geometry; a frame of another
// size (a window the device adjusted) must not run past it.
int CDeviceOperations::GetFrame(std::uint8_t* buffer, int size) {
  if (!buffer || device_.FrameSize() <= 0 || size < device_.FrameSize()) return 0;
  device_.GetFrame(buffer, 1);
  return 1;
}

std::unique_ptr<CCameraDevice> MakeCameraDevice() {
  return std::unique_ptr<CCameraDevice>(new (std::nothrow) CDeviceOperations());
}
