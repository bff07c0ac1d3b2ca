// The interface of every sensor driver: 147 virtual operations in a fixed
// order (the device layer calls them by position), the sensor description
// block, and the helpers several drivers share. An operation a sensor lacks
// answers "not supported" (0); a driver overrides only what its sensor has.
#pragma once

#include <atomic>
#include <cstdint>

#include "sensor/SensorInfo.h"
#include "usb/ControllerBase.h"

// Text and number of one stepped gain level.
struct GainLevelLabel {
  char text[4];
  int32_t number;
};

class CSensorBase {
 public:
  // How a verified board-register write retries.
  enum class VerifyPolicy {
    kTimed,    // 10 attempts, 5 ms apart, inside a 1 ms timer period
    kPlain,    // 10 attempts, 5 ms apart
    kPatient,  // 100 attempts, 100 ms apart
  };

  // The board side of the external trigger: exposure and period in lines for
  // the FPGA's trigger logic, optionally switched off around the update.
  struct TriggerTiming {
    uint32_t exposureLines = 0;
    uint32_t periodLines = 0;
    uint8_t constant0 = 0xC3;      // board register 0x54
    uint8_t constant1 = 2;         // board register 0x55
    bool switchLogic = true;       // 0x58 off before and on after
    bool exposureTopBits = false;  // bits 24..27 of the exposure into 0x9C
    VerifyPolicy policy = VerifyPolicy::kTimed;
  };

  CSensorBase(CControllerBase* controller, uint8_t deviceAddress);
  CSensorBase(const CSensorBase&) = delete;
  CSensorBase& operator=(const CSensorBase&) = delete;

  virtual ~CSensorBase();                                                   // 0
  virtual int SetModelCode(int code);                                       // 1
  virtual int SetTriggerModeValue(int mode);                                // 2
  virtual int GetTriggerModeValue();                                        // 3
  virtual int IsReady() { return 0; }                                       // 4
  virtual int Initialize() { return 0; }                                    // 5
  virtual int RecoverNotReady() { return 0; }                               // 6
  virtual int RequestRestart() { return 0; }                                // 7
  virtual int SetCaptureWindow(int, int, int, int, int) { return 0; }       // 8
  virtual int GetCaptureWindow(int*, int*, int*, int*, int*) { return 0; }  // 9
  virtual int SetTriggerMode(int) { return 0; }                             // 10
  virtual int GetTriggerMode(int*) { return 0; }                            // 11
  virtual int SetAuxiliaryValue(int) { return 0; }                          // 12
  virtual int ApplyAuxiliary() { return 0; }                                // 13
  virtual int HasAuxiliary() { return 0; }                                  // 14
  virtual int SetBitDepth(int) { return 0; }                                // 15
  virtual int SetExposureLines(unsigned) { return 0; }                      // 16
  virtual int GetExposureLines(int*) { return 0; }                          // 17
  virtual int SetGlobalGain(unsigned) { return 0; }                         // 18
  virtual int GetGlobalGain(int*) { return 0; }                             // 19
  virtual int SetColorGainRed(unsigned) { return 0; }                       // 20
  virtual int GetColorGainRed(int*) { return 0; }                           // 21
  virtual int SetColorGainGreen1(unsigned) { return 0; }                    // 22
  virtual int GetColorGainGreen1(int*) { return 0; }                        // 23
  virtual int SetColorGainGreen2(unsigned) { return 0; }                    // 24
  virtual int GetColorGainGreen2(int*) { return 0; }                        // 25
  virtual int SetColorGainBlue(unsigned) { return 0; }                      // 26
  virtual int GetColorGainBlue(int*) { return 0; }                          // 27
  virtual int GetExposureLinesMin(int*) { return 0; }                       // 28
  virtual int GetExposureLinesMax(int*) { return 0; }                       // 29
  virtual int GetExposureLinesDefault(int*) { return 0; }                   // 30
  virtual int GetGlobalGainMin(int*) { return 0; }                          // 31
  virtual int GetGlobalGainMax(int*) { return 0; }                          // 32
  virtual int GetGlobalGainDefault(int*) { return 0; }                      // 33
  virtual int GetColorGainMin(int*) { return 0; }                           // 34
  virtual int GetColorGainMax(int*) { return 0; }                           // 35
  virtual int GetColorGainDefault(int*) { return 0; }                       // 36
  virtual int SetChannelGain(int, unsigned) { return 0; }                   // 37
  virtual int GetChannelGain(int, int*) { return 0; }                       // 38
  virtual int GetChannelGainMin(int, int*) { return 0; }                    // 39
  virtual int GetChannelGainMax(int, int*) { return 0; }                    // 40
  virtual int GetChannelGainDefault(int, int*) { return 0; }                // 41
  virtual int SetChannelOffset(int, unsigned) { return 0; }                 // 42
  virtual int GetChannelOffset(int, int*) { return 0; }                     // 43
  virtual int GetChannelOffsetMin(int, int*) { return 0; }                  // 44
  virtual int GetChannelOffsetMax(int, int*) { return 0; }                  // 45
  virtual int GetChannelOffsetDefault(int, int*) { return 0; }              // 46
  virtual int HasBlackLevel();                                              // 47
  virtual int SetBlackLevel(int) { return 0; }                              // 48
  virtual int GetBlackLevel(int* value);                                    // 49
  virtual int GetBlackLevelMin(int* value);                                 // 50
  virtual int GetBlackLevelMax(int* value);                                 // 51
  virtual int GetBlackLevelDefault(int* value);                             // 52
  virtual int HasSensorOption();                                            // 53
  virtual int SetSensorOption(unsigned) { return 0; }                       // 54
  virtual int GetSensorOption(int* value);                                  // 55
  virtual int HasGainLevel();                                               // 56
  virtual int GetGainLevelMin(int* value);                                  // 57
  virtual int GetGainLevelMax(int* value);                                  // 58
  virtual int GetGainLevelDefault(int* value);                              // 59
  virtual int GetGainLevelValue(int* value);                                // 60
  virtual int SetGainLevel(unsigned) { return 0; }                          // 61
  virtual int ReadGainLevel(int*) { return 0; }                             // 62
  virtual int GetGainLevelLabel(unsigned, GainLevelLabel*) { return 0; }    // 63
  virtual int SetExposureTime(unsigned) { return 0; }                       // 64
  virtual int GetExposureTime(int*) { return 0; }                           // 65
  virtual int GetExposureTimeMin(int*) { return 0; }                        // 66
  virtual int GetExposureTimeMax(int*) { return 0; }                        // 67
  virtual int GetExposureTimeDefault(int*) { return 0; }                    // 68
  virtual int SetMirrorV(int) { return 0; }                                 // 69
  virtual int GetMirrorV(int*) { return 0; }                                // 70
  virtual int SetMirrorH(int) { return 0; }                                 // 71
  virtual int GetMirrorH(int*) { return 0; }                                // 72
  virtual int GetMirrorVDefault();                                          // 73
  virtual int GetMirrorHDefault();                                          // 74
  virtual int IsMirrorVInSensor();                                          // 75
  virtual int IsMirrorHInSensor();                                          // 76
  virtual int ExtensionCommand(int, int*) { return 0; }                     // 77
  virtual int WriteRegisterRaw(unsigned, unsigned) { return 0; }            // 78
  virtual int ReadRegisterRaw(unsigned, int*) { return 0; }                 // 79
  virtual int WriteRegister(unsigned, unsigned) { return 0; }               // 80
  virtual int ReadRegister(unsigned, int*) { return 0; }                    // 81
  virtual int SetStatusInterval(int) { return 0; }                          // 82
  virtual int GetStatusInterval(int*) { return 0; }                         // 83
  virtual int Reserved84() { return 0; }                                    // 84
  virtual int Reserved85() { return 0; }                                    // 85
  virtual int Reserved86() { return 0; }                                    // 86
  virtual int Reserved87() { return 0; }                                    // 87
  virtual int SetPixelClockMode(int) { return 0; }                          // 88
  virtual int GetPixelClockMode(int*) { return 0; }                         // 89
  virtual int Reserved90() { return 0; }                                    // 90
  virtual int Reserved91() { return 0; }                                    // 91
  virtual int GetSensorInfo(SensorInfo* out);                               // 92
  virtual void PrepareStart() {}                                            // 93
  virtual void ResetStream() {}                                             // 94
  virtual int HasInternalCorrection() { return 0; }                         // 95
  virtual int SetInternalCorrection(unsigned) { return 0; }                 // 96
  virtual int GetInternalCorrection(int*) { return 0; }                     // 97
  virtual int HasCooler() { return 0; }                                     // 98
  virtual int GetCooler() { return 0; }                                     // 99
  virtual int SetCooler(int) { return 0; }                                  // 100
  virtual int HasTemperature() { return 0; }                                // 101
  virtual int GetTemperature(double*) { return 0; }                         // 102
  virtual int PeriodicUpdate(unsigned) { return 0; }                        // 103
  virtual void OnStreamStart() {}                                           // 104
  virtual void OnStreamStop(int) {}                                         // 105
  virtual int IsStreamHelperRunning() { return 0; }                         // 106
  virtual int SetFrameStarted(int) { return 0; }                            // 107
  virtual int HasAuxSwitch() { return 0; }                                  // 108
  virtual int GetAuxSwitch(int*) { return 0; }                              // 109
  virtual int SetAuxSwitch(int) { return 0; }                               // 110
  virtual int ReceiveText(char*, unsigned) { return 0; }                    // 111
  virtual int SendText(const char*, unsigned) { return 0; }                 // 112
  virtual int HasExtendedMode() { return 0; }                               // 113
  virtual int GetExtendedMode(int*) { return 0; }                           // 114
  virtual int SetExtendedMode(int) { return 0; }                            // 115
  virtual int HasTemperatureControl() { return 0; }                         // 116
  virtual int Reserved117() { return 0; }                                   // 117
  virtual int Reserved118() { return 0; }                                   // 118
  virtual int GetControlTemperature(int*) { return 0; }                     // 119
  virtual int SetTargetTemperature(int) { return 0; }                       // 120
  virtual int HasExposureSeconds();                                         // 121
  virtual int GetExposureSecondsMin(double* seconds);                       // 122
  virtual int GetExposureSecondsMax(double* seconds);                       // 123
  virtual int GetExposureSecondsDefault(double* seconds);                   // 124
  virtual int GetExposureSeconds(double* seconds);                          // 125
  virtual int SetExposureSeconds(double) { return 0; }                      // 126
  virtual int HasRegisterPreset() { return 0; }                             // 127
  virtual int GetRegisterPreset(int*) { return 0; }                         // 128
  virtual int SetRegisterPreset(int) { return 0; }                          // 129
  virtual int CheckModeLimit(int, int) { return 0; }                        // 130
  virtual int GetModeStatus(int*, short*, char*, char*) { return 0; }       // 131
  virtual int HasModeSwitch() { return 0; }                                 // 132
  virtual int GetModeSwitch() { return -1; }                                // 133
  virtual int SetModeSwitch(int) { return 0; }                              // 134
  virtual int HasModeSelect() { return 0; }                                 // 135
  virtual int GetModeSelect() { return -1; }                                // 136
  virtual int SetModeSelect(unsigned) { return 0; }                         // 137
  virtual int SupportsGray8() { return 1; }                                 // 138
  virtual int SupportsGray16() { return 1; }                                // 139
  virtual int SupportsColor() { return 1; }                                 // 140
  virtual int HasFeatureBit() { return 0; }                                 // 141
  virtual int EnableFeatureBit() { return 0; }                              // 142
  virtual int RefreshStatus() { return 0; }                                 // 143
  virtual int HasNewStatus() { return 0; }                                  // 144
  virtual void ReadStatus() {}                                              // 145
  virtual int UpdateStatus() { return 0; }                                  // 146

  int ModelCode() const { return modelCode_; }
  uint8_t DeviceAddress() const { return deviceAddress_; }
  // The description block; the device object reads and writes its window fields.
  SensorInfo& Info() { return info_; }
  // FPGA version word, read once (up to 10 attempts, 100 ms apart) and kept;
  // false when it cannot be read, and every predicate below is then false.
  bool GetFpgaVersion(uint16_t* version);
  // Restarts the FPGA's image stream (board register 0x6C, or 0x96 on some
  // models, set to 1 and back to 0) unless restarts are switched off.
  int PulseRestart();

 protected:
  bool IsFastBoard();
  bool IsOldFirmware();
  bool IsInternalCorrectionAvailable();
  bool HasBoardTemperature();
  // Board register 0x17, read once; false when it cannot be read.
  bool ReadBoardStatus(uint8_t* status);

  int WriteBoardRegisterVerified(uint8_t reg, uint8_t value, VerifyPolicy policy);
  // Converts an exposure in nanoseconds to lines of `lineTimeNs` and sets it.
  int SetExposureNanoseconds(uint64_t nanoseconds, double lineTimeNs);
  void ProgramTriggerTiming(const TriggerTiming& timing);

  SensorInfo info_{};
  CControllerBase* const controller_;
  const uint8_t deviceAddress_;
  int triggerMode_ = 15;  // no mode chosen yet
  int modelCode_ = 0;
  int64_t auxiliaryValue_ = 0;
  int modeSelect_ = 0;
  std::atomic<int> restartPulse_{1};  // while nonzero PulseRestart pulses
  int64_t statusInterval_ = 300;

 private:
  std::atomic<uint16_t> fpgaVersion_{0};  // 0 = not read yet
  std::atomic<int> boardStatus_{-1};      // -1 = not read yet
};
