#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "device/TevrinU3K5Base.h"

// A scriptable stand-in for the device object, answering the operations the
// instance calls: tests set what it reports and read back, in order, every
// operation that changed it. It opens no controller: what it does not
// answer itself, the device object answers as without a camera.
class CFakeCameraDevice : public CTevrinU3K5Base {
 public:
  enum class ColorChannel { Green1, Red, Blue, Green2 };

  // What the device reports.
  std::set<int> present = {0};
  int count = 1;
  int maxDevices = 32;
  int openResult = 1;
  int globalGainMin = 0, globalGainMax = 480;
  int colorGainMin = 0, colorGainMax = 255;
  int exposureMin = 1, exposureMax = 100000;
  double exposureSecondsMin = 0.0001, exposureSecondsMax = 10.0;
  int hasExposureSeconds = 1;
  int freeWidth = 1, freeHeight = 1;
  int gray8 = 1, gray16 = 1, color = 0;
  int hasCooler = 0, hasTemperature = 0, hasModeSwitch = 0, hasRegisterPreset = 0, hasBlackLevel = 0;
  int internalCorrectionSupported = 0;
  int globalGainDefault = 0, colorGainDefault = 0, exposureDefault = 10;
  double exposureSecondsDefault = 0.0;
  int mirrorVDefault = 0, mirrorHDefault = 0, blackLevelDefault = 0;
  double temperature = 21.5;
  int temperatureReadable = 1;
  int setterResult = 1;    // result of every setter
  int windowResult = 1;    // result of SetCaptureWindow
  int registerResult = 1;  // result of register and EEPROM access
  tevrin::device::WaitResult frameResult = tevrin::device::WaitResult::kNoNewFrame;
  std::map<int, std::uint8_t> eeprom;
  std::set<int> failingEepromReads;
  int eepromWritesIgnored = 0;  // the next n EEPROM writes do not take

  // What the device holds.
  int globalGain = 0;
  std::map<ColorChannel, int> colorGains;
  int exposure = 10;
  double exposureSeconds = 0.001;
  int mirrorV = 0, mirrorH = 0, cooler = 0, modeSwitch = 0, registerPreset = 0, blackLevel = 0;
  int internalCorrection = 0;
  std::map<int, int> fpga;
  std::map<int, int> sensor;
  std::vector<int> extensionData;

  // Every operation that changed the device, as "Name(args)".
  std::vector<std::string> calls;

  int SetProductId(int productId) override;
  int CreateController(HWND, const GUID*) override;
  int CountDevices(int productId) override;
  int IsPresent(int number) override { return present.count(number) ? 1 : 0; }
  int OpenDevice(int number) override;
  int GetOrdinal() override { return 0; }
  int GetMaxDevices() override { return maxDevices; }
  int CloseDevice() override;

  int SetGlobalGain(int value) override;
  int GetGlobalGain() override { return globalGain; }
  int GetGlobalGainMin() override { return globalGainMin; }
  int GetGlobalGainMax() override { return globalGainMax; }
  int SetColorGainGreen1(int value) override { return SetColorGain(ColorChannel::Green1, value); }
  int SetColorGainRed(int value) override { return SetColorGain(ColorChannel::Red, value); }
  int SetColorGainBlue(int value) override { return SetColorGain(ColorChannel::Blue, value); }
  int SetColorGainGreen2(int value) override { return SetColorGain(ColorChannel::Green2, value); }
  int GetColorGainGreen1() override { return colorGains[ColorChannel::Green1]; }
  int GetColorGainRed() override { return colorGains[ColorChannel::Red]; }
  int GetColorGainBlue() override { return colorGains[ColorChannel::Blue]; }
  int GetColorGainGreen2() override { return colorGains[ColorChannel::Green2]; }
  int GetColorGainMin() override { return colorGainMin; }
  int GetColorGainMax() override { return colorGainMax; }
  int SetExposure(int units) override;
  int GetExposureTime() override { return exposure; }
  int GetExposureTimeMin() override { return exposureMin; }
  int GetExposureTimeMax() override { return exposureMax; }
  int HasExposureSeconds() override { return hasExposureSeconds; }
  int SetExposureSeconds(double seconds) override;
  int GetExposureSeconds(double* seconds) override;
  int GetExposureSecondsMin(double* seconds) override { return Report(seconds, exposureSecondsMin); }
  int GetExposureSecondsMax(double* seconds) override { return Report(seconds, exposureSecondsMax); }
  int GetGlobalGainDefault() override { return globalGainDefault; }
  int GetColorGainDefault() override { return colorGainDefault; }
  int GetExposureTimeDefault() override { return exposureDefault; }
  int GetExposureSecondsDefault(double* seconds) override { return Report(seconds, exposureSecondsDefault); }
  int GetMirrorVDefault() override { return mirrorVDefault; }
  int GetMirrorHDefault() override { return mirrorHDefault; }
  int GetBlackLevelDefault() override { return blackLevelDefault; }

  int SetMirrorV(int on) override;
  int SetMirrorH(int on) override;
  int SetCaptureWindow(int hStart, int vStart, int hEffective, int vEffective, int subSample) override;
  int GetWidthAdjustable() override { return freeWidth; }
  int GetHeightAdjustable() override { return freeHeight; }
  int SupportsGray8() override { return gray8; }
  int SupportsGray16() override { return gray16; }
  int SupportsColor() override { return color; }

  int HasCooler() override { return hasCooler; }
  int GetCooler() override { return cooler; }
  int SetCooler(int on) override;
  int HasTemperature() override { return hasTemperature; }
  int GetTemperature(double* celsius) override;
  int HasModeSwitch() override { return hasModeSwitch; }
  int SetModeSwitch(int value) override;
  int GetModeSwitch() override { return modeSwitch; }
  int HasRegisterPreset() override { return hasRegisterPreset; }
  int SetRegisterPreset(int on) override;
  int GetRegisterPreset() override { return registerPreset; }
  int HasBlackLevel() override { return hasBlackLevel; }
  int SetBlackLevel(int value) override;
  int GetBlackLevel() override { return blackLevel; }
  int ExtensionCommand(int command, int* data) override;

  int SetBitDepth(int sixteen) override;
  int SetTriggerMode(tevrin::device::TriggerMode mode, int force) override;
  int StartCapture(tevrin::device::CaptureMode mode) override;
  int StopCapture(int abort) override;
  tevrin::device::WaitResult WaitFrame(int) override { return frameResult; }
  int SetFrameTimeout(int ms) override;
  int SyncFrameCounter() override { return 1; }
  int PrepareStart() override;
  int HasExtendedMode() override { return 0; }
  int SetExtendedMode(int) override { return 0; }
  int IsMirrorHInSensor() override { return 1; }
  int IsMirrorVInSensor() override { return 1; }
  int ReadEepromByte(int address, std::uint8_t* value) override;
  int WriteEepromByte(int address, std::uint8_t value) override;
  int ReadFpgaRegister(int address, int* ok) override;
  int WriteFpgaRegister(int address, int value) override;
  int ReadSensorRegister(int address, int* ok) override;
  int WriteRegisterRaw(int address, int value) override;
  int IsInternalCorrectionSupported() override { return internalCorrectionSupported; }
  int GetInternalCorrection() override { return internalCorrection; }
  int SetInternalCorrection(int value) override;

 private:
  int Log(const std::string& call, int result);
  int SetColorGain(ColorChannel channel, int value);
  int Report(double* out, double value) const;
  std::mutex callsLock_;
  int Set(const char* name, int* field, int value);
};
