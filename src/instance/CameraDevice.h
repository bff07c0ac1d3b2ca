#pragma once

#include <cstdint>

#include <windows.h>

// The device operations a camera instance calls, and nothing more. The device
// layer's object answers them; the instance never sees the controller or the
// sensor driver behind it. Setters and reads return nonzero on success.
class CCameraDevice {
 public:
  enum class ColorChannel { Green1, Red, Blue, Green2 };

  virtual ~CCameraDevice() = default;

  // Identification and selection.
  virtual void SetProductId(int productId) = 0;
  virtual int CreateController(HWND notifyWindow, const GUID& interfaceClass) = 0;
  virtual int CountDevices(int productId) = 0;
  virtual int IsPresent(int number) = 0;
  virtual int OpenDevice(int number) = 0;
  virtual int GetOrdinal() = 0;
  virtual int GetMaxDevices() = 0;
  virtual int CloseDevice() = 0;

  // Gains and exposure (exposure in units of 0.1 ms).
  virtual int SetGlobalGain(int value) = 0;
  virtual int GetGlobalGain() = 0;
  virtual int GetGlobalGainMin() = 0;
  virtual int GetGlobalGainMax() = 0;
  virtual int SetColorGain(ColorChannel channel, int value) = 0;
  virtual int GetColorGain(ColorChannel channel) = 0;
  virtual int GetColorGainMin() = 0;
  virtual int GetColorGainMax() = 0;
  virtual int SetExposure(int units) = 0;
  virtual int GetExposure() = 0;
  virtual int GetExposureMin() = 0;
  virtual int GetExposureMax() = 0;
  virtual int HasExposureSeconds() = 0;
  virtual int SetExposureSeconds(double seconds) = 0;
  virtual int GetExposureSeconds(double* seconds) = 0;
  virtual double GetExposureSecondsMin() = 0;
  virtual double GetExposureSecondsMax() = 0;

  // The sensor's defaults for the analog values.
  virtual int GetGlobalGainDefault() = 0;
  virtual int GetColorGainDefault() = 0;
  virtual int GetExposureTimeDefault() = 0;
  virtual double GetExposureSecondsDefault() = 0;
  virtual int GetMirrorVDefault() = 0;
  virtual int GetMirrorHDefault() = 0;
  virtual int GetBlackLevelDefault() = 0;

  // Image window and output.
  virtual int SetMirrorV(int on) = 0;
  virtual int SetMirrorH(int on) = 0;
  virtual int SetCaptureWindow(int hStart, int vStart, int hEffective, int vEffective, int subSample) = 0;
  virtual int AllowsFreeWidth() = 0;
  virtual int AllowsFreeHeight() = 0;
  virtual int SupportsGray8() = 0;
  virtual int SupportsGray16() = 0;
  virtual int SupportsColor() = 0;

  // Sensor options.
  virtual int HasCooler() = 0;
  virtual int GetCooler() = 0;
  virtual int SetCooler(int on) = 0;
  virtual int HasTemperature() = 0;
  virtual int GetTemperature(double* celsius) = 0;
  virtual int HasModeSwitch() = 0;
  virtual int SetModeSwitch(int value) = 0;
  virtual int GetModeSwitch() = 0;  // -1 when it cannot be read
  virtual int HasRegisterPreset() = 0;
  virtual int SetRegisterPreset(int on) = 0;
  virtual int GetRegisterPreset(int* on) = 0;
  virtual int HasBlackLevel() = 0;
  virtual int SetBlackLevel(int value) = 0;
  virtual int GetBlackLevel(int* value) = 0;
  virtual int ExtensionCommand(int command, int* data) = 0;

  // Acquisition: the device's receiving thread fills a ring of frames.
  virtual int SetBitDepth(int sixteen) = 0;
  virtual int SetTriggerMode(int mode, int force) = 0;
  virtual int StartCapture(int mode) = 0;  // 0 continuous, 1 one frame, 2 one triggered frame
  virtual int StopCapture(int abort) = 0;
  virtual int WaitFrame(int ms) = 0;  // 1 error, 2 no new frame, 3 new frame
  // The newest frame, upright, into `buffer` of `size` bytes; 0 when it does not fit.
  virtual int GetFrame(std::uint8_t* buffer, int size) = 0;
  virtual int SetFrameTimeout(int ms) = 0;
  virtual int SyncFrameCounter() = 0;
  virtual int PrepareStart() = 0;
  virtual int HasExtendedMode() = 0;
  virtual int SetExtendedMode(int value) = 0;
  virtual int IsMirrorHInSensor() = 0;
  virtual int IsMirrorVInSensor() = 0;

  // Registers and EEPROM.
  virtual int ReadEepromByte(int address, std::uint8_t* value) = 0;
  virtual int WriteEepromByte(int address, std::uint8_t value) = 0;
  virtual int ReadFpgaRegister(int address, std::uint16_t* value) = 0;
  virtual int WriteFpgaRegister(int address, std::uint16_t value) = 0;
  virtual int ReadSensorRegister(int address, int* value) = 0;
  virtual int WriteSensorRegister(int address, int value) = 0;
  virtual int IsInternalCorrectionSupported() = 0;
  virtual int GetInternalCorrection() = 0;
  virtual int SetInternalCorrection(int value) = 0;
};
