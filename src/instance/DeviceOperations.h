// The camera instance's view of the device object: each operation the
// instance needs, answered by the device layer's object for this camera.
#pragma once

#include <memory>

#include "device/TevrinUSB3K5SimpleSdk.h"
#include "instance/CameraDevice.h"

class CDeviceOperations final : public CCameraDevice {
 public:
  CDeviceOperations() = default;

  void SetProductId(int productId) override { device_.SetProductId(productId); }
  int CreateController(HWND window, const GUID& guid) override { return device_.CreateController(window, &guid); }
  int CountDevices(int productId) override { return device_.CountDevices(productId); }
  int IsPresent(int number) override { return device_.IsPresent(number); }
  int OpenDevice(int number) override { return device_.OpenDevice(number); }
  int GetOrdinal() override { return device_.GetOrdinal(); }
  int GetMaxDevices() override { return device_.GetMaxDevices(); }
  int CloseDevice() override { return device_.CloseDevice(); }

  int SetGlobalGain(int value) override { return device_.SetGlobalGain(value); }
  int GetGlobalGain() override { return device_.GetGlobalGain(); }
  int GetGlobalGainMin() override { return device_.GetGlobalGainMin(); }
  int GetGlobalGainMax() override { return device_.GetGlobalGainMax(); }
  int SetColorGain(ColorChannel channel, int value) override;
  int GetColorGain(ColorChannel channel) override;
  int GetColorGainMin() override { return device_.GetColorGainMin(); }
  int GetColorGainMax() override { return device_.GetColorGainMax(); }
  int SetExposure(int units) override { return device_.SetExposure(units); }
  int GetExposure() override { return device_.GetExposureTime(); }
  int GetExposureMin() override { return device_.GetExposureTimeMin(); }
  int GetExposureMax() override { return device_.GetExposureTimeMax(); }
  int HasExposureSeconds() override { return device_.HasExposureSeconds(); }
  int SetExposureSeconds(double seconds) override { return device_.SetExposureSeconds(seconds); }
  int GetExposureSeconds(double* seconds) override { return device_.GetExposureSeconds(seconds); }
  double GetExposureSecondsMin() override;
  double GetExposureSecondsMax() override;

  int GetGlobalGainDefault() override { return device_.GetGlobalGainDefault(); }
  int GetColorGainDefault() override { return device_.GetColorGainDefault(); }
  int GetExposureTimeDefault() override { return device_.GetExposureTimeDefault(); }
  double GetExposureSecondsDefault() override;
  int GetMirrorVDefault() override { return device_.GetMirrorVDefault(); }
  int GetMirrorHDefault() override { return device_.GetMirrorHDefault(); }
  int GetBlackLevelDefault() override { return device_.GetBlackLevelDefault(); }

  int SetMirrorV(int on) override { return device_.SetMirrorV(on); }
  int SetMirrorH(int on) override { return device_.SetMirrorH(on); }
  int SetCaptureWindow(int hStart, int vStart, int hEffective, int vEffective, int subSample) override {
    return device_.SetCaptureWindow(hStart, vStart, hEffective, vEffective, subSample);
  }
  int AllowsFreeWidth() override { return device_.GetWidthAdjustable(); }
  int AllowsFreeHeight() override { return device_.GetHeightAdjustable(); }
  int SupportsGray8() override { return device_.SupportsGray8(); }
  int SupportsGray16() override { return device_.SupportsGray16(); }
  int SupportsColor() override { return device_.SupportsColor(); }

  int HasCooler() override { return device_.HasCooler(); }
  int GetCooler() override { return device_.GetCooler(); }
  int SetCooler(int on) override { return device_.SetCooler(on); }
  int HasTemperature() override { return device_.HasTemperature(); }
  int GetTemperature(double* celsius) override { return device_.GetTemperature(celsius); }
  int HasModeSwitch() override { return device_.HasModeSwitch(); }
  int SetModeSwitch(int value) override { return device_.SetModeSwitch(value); }
  int GetModeSwitch() override { return device_.GetModeSwitch(); }
  int HasRegisterPreset() override { return device_.HasRegisterPreset(); }
  int SetRegisterPreset(int on) override { return device_.SetRegisterPreset(on); }
  int GetRegisterPreset(int* on) override;
  int HasBlackLevel() override { return device_.HasBlackLevel(); }
  int SetBlackLevel(int value) override { return device_.SetBlackLevel(value); }
  int GetBlackLevel(int* value) override;
  int ExtensionCommand(int command, int* data) override { return device_.ExtensionCommand(command, data); }

  int SetBitDepth(int sixteen) override { return device_.SetBitDepth(sixteen); }
  int SetTriggerMode(int mode, int force) override {
    return device_.SetTriggerMode(static_cast<tevrin::device::TriggerMode>(mode), force);
  }
  int StartCapture(int mode) override { return device_.StartCapture(static_cast<tevrin::device::CaptureMode>(mode)); }
  int StopCapture(int abort) override { return device_.StopCapture(abort); }
  int WaitFrame(int ms) override { return static_cast<int>(device_.WaitFrame(ms)); }
  int GetFrame(std::uint8_t* buffer, int size) override;
  int SetFrameTimeout(int ms) override { return device_.SetFrameTimeout(ms); }
  int SyncFrameCounter() override { return device_.SyncFrameCounter(); }
  int PrepareStart() override { return device_.PrepareStart(); }
  int HasExtendedMode() override { return device_.HasExtendedMode(); }
  int SetExtendedMode(int value) override { return device_.SetExtendedMode(value); }
  int IsMirrorHInSensor() override { return device_.IsMirrorHInSensor(); }
  int IsMirrorVInSensor() override { return device_.IsMirrorVInSensor(); }

  int ReadEepromByte(int address, std::uint8_t* value) override { return device_.ReadEepromByte(address, value); }
  int WriteEepromByte(int address, std::uint8_t value) override { return device_.WriteEepromByte(address, value); }
  int ReadFpgaRegister(int address, std::uint16_t* value) override;
  int WriteFpgaRegister(int address, std::uint16_t value) override { return device_.WriteFpgaRegister(address, value); }
  int ReadSensorRegister(int address, int* value) override;
  int WriteSensorRegister(int address, int value) override { return device_.WriteRegisterRaw(address, value); }
  int IsInternalCorrectionSupported() override { return device_.IsInternalCorrectionSupported(); }
  int GetInternalCorrection() override { return device_.GetInternalCorrection(); }
  int SetInternalCorrection(int value) override { return device_.SetInternalCorrection(value); }

 private:
  CTevrinUSB3K5SimpleSdk device_;
};

// The device factory of the SDK's instances.
std::unique_ptr<CCameraDevice> MakeCameraDevice();
