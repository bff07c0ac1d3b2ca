// The per-camera device object between the camera instance and the
// transport: it owns the FX3 controller, the sensor driver chosen by product
// ID, the staging buffer and the ring of frame buffers, and the acquisition
// thread that fills the ring. The instance calls it only through these 187
// virtual operations, whose order is fixed (comments give each one's number).
//
// Operations return 0 on failure (or -1, -2 where stated) and never throw;
// without a controller or a sensor every dependent operation fails without I/O.
// Getters of whole numbers return the value the sensor reports (0 when it
// reports none); getters of seconds and temperatures fill a double and return
// whether the sensor could answer.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "device/AcquisitionTypes.h"
#include "device/FrameCounters.h"
#include "device/FrameRateMeter.h"
#include "device/ProductTable.h"
#include "sensor/SensorBase.h"
#include "usb/FrameHeaderBlock.h"
#include "usb/TevrinCy3Cam.h"

class CTevrinU3K5Base {
 public:
  static constexpr int kMaxRing = 8;
  static constexpr int kMaxDevices = 32;

  // Makes the sensor driver for a product ID on a controller; the device
  // object owns what it returns. Tests substitute drivers for products whose
  // sensors this build does not carry.
  using SensorFactory = CSensorBase* (*)(uint16_t productId, CControllerBase* controller);

  CTevrinU3K5Base();
  CTevrinU3K5Base(const CTevrinU3K5Base&) = delete;
  CTevrinU3K5Base& operator=(const CTevrinU3K5Base&) = delete;

  virtual ~CTevrinU3K5Base();                                   // 0
  virtual int CreateController(HWND window, const GUID* guid);  // 1
  virtual int StartDevice();                                    // 2
  virtual int CloseDevice();                                    // 3
  virtual int ReadControllerInfo(uint8_t* block);               // 4
  virtual int GetSensorInfo(SensorInfo* info);                  // 5
  virtual int ReadControllerInfo2(uint8_t* block);              // 6
  virtual int ReopenDevice(int ordinal);                        // 7
  virtual int OpenDevice(int ordinal);                          // 8
  virtual int Reserved9() { return 0; }                         // 9
  virtual int IsPresent(int ordinal);                           // 10
  virtual int CountDevices(int productId);                      // 11
  virtual int GetDeviceName(int index, char* text);             // 12
  virtual int SetProductId(int productId);                      // 13
  virtual int GetProductId() { return productId_; }             // 14
  virtual int GetTableVendorId(int index);                      // 15
  virtual int GetTableProductId(int index);                     // 16
  virtual int GetTableOrdinal(int index);                       // 17
  virtual int IsNoRegisterProduct();                            // 18
  virtual int IsStreamProduct();                                // 19
  virtual int GetOrdinal() { return openedOrdinal_; }           // 20
  virtual int StartCapture(tevrin::device::CaptureMode mode);   // 21
  virtual int StopCapture(int abort);                           // 22
  virtual int CopyFrame(uint8_t* buffer, int size, int* counter, int* word28, int* word32, int* word40, int* word44,
                        int fromSlot0, int bottomUp);           // 23
  virtual int SetMode(tevrin::device::CaptureMode mode);        // 24
  virtual int StopStream();                                     // 25
  virtual int AcquisitionLoop();                                // 26
  virtual int AcquisitionLoopAux();                             // 27
  virtual int AcquisitionLoopStream();                          // 28
  virtual int ApplyGeometry();                                  // 29
  virtual int GetMaxDevices() { return kMaxDevices; }           // 30
  virtual int SyncFrameCounter();                               // 31
  virtual int CaptureOne();                                     // 32
  virtual int Reserved33() { return -1; }                       // 33
  virtual int GetCapturedFrame(uint8_t* buffer, int bottomUp);  // 34
  virtual int SetFrameTimeout(int ms);                          // 35
  virtual tevrin::device::WaitResult WaitFrame(int ms);         // 36
  // 1 after copying the newest frame into `buffer`; 0 when it copied nothing
  // (no ring, no frame yet, the acquisition failed, or a null buffer, which
  // still takes the frame).
  virtual int GetFrame(uint8_t* buffer, int bottomUp);                                      // 37
  virtual int GetFrameEx(uint8_t* buffer, uint64_t* extra, int* extraByte, int fromSlot0);  // 38
  virtual int GetFrameInfo(uint8_t* buffer, int* counter, int* word28, int* word32, int* word40, int* word44,
                           int bottomUp);                                                 // 39
  virtual int Reserved40() { return 0; }                                                  // 40
  virtual int SetBitDepth(int mode);                                                      // 41
  virtual int SetClockMode(int mode);                                                     // 42
  virtual int GetPixelClockMode();                                                        // 43
  virtual int SetCaptureWindow(int x, int y, int width, int height, int subsample);       // 44
  virtual int GetCaptureWindow(int* x, int* y, int* width, int* height, int* subsample);  // 45
  virtual int SetMirrorH(int on);                                                         // 46
  virtual int SetMirrorV(int on);                                                         // 47
  virtual int GetMirrorH();                                                               // 48
  virtual int GetMirrorV();                                                               // 49
  virtual int GetMirrorHDefault();                                                        // 50
  virtual int GetMirrorVDefault();                                                        // 51
  virtual int IsMirrorVInSensor();                                                        // 52
  virtual int IsMirrorHInSensor();                                                        // 53
  virtual int SetTriggerMode(tevrin::device::TriggerMode mode, int force);                // 54
  virtual int GetTriggerMode();                                                           // 55
  virtual int WriteEepromByte(int address, uint8_t value);                                // 56
  virtual int ReadEepromByte(int address, uint8_t* value);                                // 57
  virtual int GetWidthAdjustable();                                                       // 58
  virtual int GetHeightAdjustable();                                                      // 59
  virtual int GetMaxWidth();                                                              // 60
  virtual int GetMaxHeight();                                                             // 61
  virtual int GetDefaultWidth();                                                          // 62
  virtual int GetDefaultHeight();                                                         // 63
  virtual int GetDefaultX();                                                              // 64
  virtual int GetDefaultY();                                                              // 65
  virtual int SetGlobalGain(int value);                                                   // 66
  virtual int GetGlobalGain();                                                            // 67
  virtual int GetGlobalGainMin();                                                         // 68
  virtual int GetGlobalGainMax();                                                         // 69
  virtual int GetGlobalGainDefault();                                                     // 70
  virtual int SetExposure(int units);                                                     // 71
  virtual int GetExposureTime();                                                          // 72
  virtual int GetExposureTimeMin();                                                       // 73
  virtual int GetExposureTimeMax();                                                       // 74
  virtual int GetExposureTimeDefault();                                                   // 75
  virtual int SetExposureLines(int lines);                                                // 76
  virtual int GetExposureLines();                                                         // 77
  virtual int GetExposureLinesMin();                                                      // 78
  virtual int GetExposureLinesMax();                                                      // 79
  virtual int GetExposureLinesDefault();                                                  // 80
  virtual int HasExposureSeconds();                                                       // 81
  virtual int SetExposureSeconds(double seconds);                                         // 82
  virtual int GetExposureSeconds(double* seconds);                                        // 83
  virtual int GetExposureSecondsMin(double* seconds);                                     // 84
  virtual int GetExposureSecondsMax(double* seconds);                                     // 85
  virtual int GetExposureSecondsDefault(double* seconds);                                 // 86
  virtual int SetChannelGain(int channel, int value);                                     // 87
  virtual int GetChannelGain(int channel);                                                // 88
  virtual int GetChannelGainMin(int channel);                                             // 89
  virtual int GetChannelGainMax(int channel);                                             // 90
  virtual int GetChannelGainDefault(int channel);                                         // 91
  virtual int SetChannelOffset(int channel, int value);                                   // 92
  virtual int GetChannelOffset(int channel);                                              // 93
  virtual int GetChannelOffsetMin(int channel);                                           // 94
  virtual int GetChannelOffsetMax(int channel);                                           // 95
  virtual int GetChannelOffsetDefault(int channel);                                       // 96
  virtual int SetColorGainRed(int value);                                                 // 97
  virtual int GetColorGainRed();                                                          // 98
  virtual int SetColorGainGreen1(int value);                                              // 99
  virtual int GetColorGainGreen1();                                                       // 100
  virtual int SetColorGainGreen2(int value);                                              // 101
  virtual int GetColorGainGreen2();                                                       // 102
  virtual int SetColorGainBlue(int value);                                                // 103
  virtual int GetColorGainBlue();                                                         // 104
  virtual int GetColorGainMin();                                                          // 105
  virtual int GetColorGainMax();                                                          // 106
  virtual int GetColorGainDefault();                                                      // 107
  virtual int HasBlackLevel();                                                            // 108
  virtual int SetBlackLevel(int value);                                                   // 109
  virtual int GetBlackLevel();                                                            // 110
  virtual int GetBlackLevelMin();                                                         // 111
  virtual int GetBlackLevelMax();                                                         // 112
  virtual int GetBlackLevelDefault();                                                     // 113
  virtual int HasSensorOption();                                                          // 114
  virtual int SetSensorOption(int value);                                                 // 115
  virtual int GetSensorOption();                                                          // 116
  virtual int WriteRegisterRaw(int address, int value);                                   // 117
  virtual int ReadSensorRegister(int address, int* ok);                                   // 118
  virtual int WriteFpgaRegister(int reg, int value);                                      // 119
  virtual int ReadFpgaRegister(int reg, int* ok);                                         // 120
  virtual int WriteI2cRegister16(int device, int reg, int value);                         // 121
  virtual int ReadI2cRegister16(int device, int reg, uint32_t* value);                    // 122
  virtual int WaitSensorBusIdle(int timeoutMs);                                           // 123
  virtual int Reserved124() { return 0; }                                                 // 124
  virtual int Reserved125() { return 0; }                                                 // 125
  virtual int PrepareStart();                                                             // 126
  virtual int ResetStream();                                                              // 127
  virtual int ExtensionCommand(int command, int* data);                                   // 128
  virtual int HasModeSwitch();                                                            // 129
  virtual int SetModeSwitch(int value);                                                   // 130
  virtual int GetModeSwitch();                                                            // 131
  virtual int WriteCorrectionLevel(uint8_t value);                                        // 132
  virtual int ReadCorrectionLevel(uint8_t* value);                                        // 133
  virtual int IsInternalCorrectionSupported();                                            // 134
  virtual int GetInternalCorrection();                                                    // 135
  virtual int SetInternalCorrection(int on);                                              // 136
  virtual int IsCorrectionValueSupported();                                               // 137
  virtual int SetCorrectionValue(int value);                                              // 138
  virtual int GetCorrectionValue(int* value);                                             // 139
  virtual int CorrectionReserved140();                                                    // 140
  virtual int GetCorrectionValueMax();                                                    // 141
  virtual int ReceiveText(char* text, int length);                                        // 142
  virtual int SendText(const char* text, int length);                                     // 143
  virtual int HasCooler();                                                                // 144
  virtual int GetCooler();                                                                // 145
  virtual int SetCooler(int on);                                                          // 146
  virtual int HasTemperature();                                                           // 147
  virtual int GetTemperature(double* celsius);                                            // 148
  virtual int HasAuxSwitch();                                                             // 149
  virtual int GetAuxSwitch();                                                             // 150
  virtual int SetAuxSwitch(int value);                                                    // 151
  virtual int HasExtendedMode();                                                          // 152
  virtual int GetExtendedMode();                                                          // 153
  virtual int SetExtendedMode(int value);                                                 // 154
  virtual int HasTemperatureControl();                                                    // 155
  virtual int SensorReserved117();                                                        // 156
  virtual int SensorReserved118();                                                        // 157
  virtual int GetControlTemperature();                                                    // 158
  virtual int SetTargetTemperature(int value);                                            // 159
  virtual int IsStreamProductAgain() { return IsStreamProduct(); }                        // 160
  virtual int GetFpgaTemperature(double* celsius);                                        // 161
  virtual int CheckModeLimit(int a, int b);                                               // 162
  virtual int GetModeStatus(int* status, short* code, char* text, char* detail);          // 163
  virtual int SetAuxiliaryValue(int value);                                               // 164
  virtual int ApplyAuxiliary();                                                           // 165
  virtual int HasAuxiliary();                                                             // 166
  virtual int HasRegisterPreset();                                                        // 167
  virtual int GetRegisterPreset();                                                        // 168
  virtual int SetRegisterPreset(int on);                                                  // 169
  virtual int HasGainLevel();                                                             // 170
  virtual int GetGainLevelMin();                                                          // 171
  virtual int GetGainLevelMax();                                                          // 172
  virtual int GetGainLevelDefault();                                                      // 173
  virtual int ReadGainLevel();                                                            // 174
  virtual int SetGainLevel(int value);                                                    // 175
  virtual int GetGainLevelLabel(int level, GainLevelLabel* label);                        // 176
  virtual int HasModeSelect();                                                            // 177
  virtual int SetModeSelect(int value);                                                   // 178
  virtual int GetModeSelect();                                                            // 179
  virtual int SupportsGray8();                                                            // 180
  virtual int SupportsGray16();                                                           // 181
  virtual int SupportsColor();                                                            // 182
  virtual int HasFeatureBit();                                                            // 183
  virtual int EnableFeatureBit();                                                         // 184
  virtual int HasNewStatus();                                                             // 185
  virtual void Reserved186() {}                                                           // 186

  // Not part of the operation table: lets tests give products without a
  // driver in this build a sensor of their own. Call before OpenDevice.
  void SetSensorFactory(SensorFactory factory) { makeSensor_ = factory; }
  // The acquisition's frame rate (frames per second; measured across
  // captures, 0 after a stop until the next measurement) and transfer rate
  // (2^20 bits per second).
  float FrameRate() const { return frameRate_.load(); }
  // Frame counts since the camera was opened, and why the newest frame ended.
  tevrin::device::FrameStatistics Statistics() const { return counters_.Snapshot(); }
  tevrin::device::FrameStatus NewestFrameStatus() const;
  double TransferRate() const { return transferRate_.load(); }
  int FrameSize() const { return frameSize_; }
  int FrameTimeout() const { return frameTimeoutMs_.load(); }

 protected:
  CTevrinCy3Cam* Controller() const { return controller_.get(); }
  CSensorBase* Sensor() const { return sensor_.get(); }

 private:
  using Clock = std::chrono::steady_clock;

  // One ring buffer and what arrived with its frame. The lock is held while
  // the frame is written or copied out, so a consumer that falls a whole
  // ring behind gets a whole frame, never half of two.
  struct Slot {
    uint8_t* buffer = nullptr;
    int counter = -1;
    int words[4] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};  // header offsets 28, 32, 40, 44
    uint64_t extra = 0;                               // header offset 44, on products that keep it
    int extraByte = 0;                                // header offset 4, on products that keep it
    // Why the frame last meant for this slot ended; read without the lock.
    std::atomic<tevrin::device::FrameStatus> status{tevrin::device::FrameStatus::kNone};
    bool unread = false;  // holds a whole frame that nobody has taken yet
    std::mutex lock;

    void ClearData();
  };

  // Lifecycle and geometry helpers.
  bool ReadyCheck();
  void QuietBoard();
  void PulseReadyRegister(uint8_t reg);
  int BytesPerPixel() const;
  void FreeBuffers();
  bool AllocateBuffers(int ringBytes);
  int SetFamilyTriggerMode(tevrin::device::TriggerMode mode);
  void TellControllerPolicy();
  int FindTableIndex(int ordinal);

  // Acquisition helpers.
  static DWORD WINAPI ThreadEntry(void* self);
  void JoinThread();
  void PrepareHeaderBlock(tevrin::usb::FrameHeaderBlock* block) const;
  void StoreHeaderWords(const tevrin::usb::FrameHeaderBlock& block);
  void CompleteFrame(Clock::time_point readStart, const tevrin::usb::FrameHeaderBlock& block);
  void FillSlot(int index, const tevrin::usb::FrameHeaderBlock* block, int counter);
  void StoreFrame(const tevrin::usb::FrameHeaderBlock* block);
  void EndFrame(int index, tevrin::device::FrameStatus status);
  // The status of a frame whose read (its header, or its image) just failed.
  tevrin::device::FrameStatus FailedRead(bool header) const;
  void RestartStream();
  void ApplyPendingCommand();
  bool WaitTriggerCounter();
  // Whether a frame failing since then has outlasted the frame time-out.
  bool OutOfFrameTime(DWORD failingSince) const;
  bool PeriodicSensorUpdate();
  int CaptureOneRetrying();
  int CaptureOneFiveAttempts();
  void FailLoop();
  int EndLoop();
  static int NewestIndex(int writeIndex, int ringSize);
  int CopyOut(int slotIndex, uint8_t* buffer, int size, int* counter, int* words[4], int bottomUp);
  void TakeFrame(int slotIndex, int writeIndex);
  void CopyLines(const uint8_t* source, uint8_t* buffer, int bottomUp) const;
  void SignalFrameEvent();

  std::unique_ptr<CTevrinCy3Cam> controller_;
  uint8_t controllerInfo_[64] = {};
  int productId_ = -1;
  const tevrin::device::ProductRow* product_ = &tevrin::device::FindProduct(-1);
  uint8_t* staging_ = nullptr;
  int stagingSize_ = 0;
  std::atomic<tevrin::device::CaptureMode> mode_{tevrin::device::CaptureMode::kContinuous};
  Slot slots_[kMaxRing];
  int bitDepthMode_ = 0;
  std::atomic<tevrin::device::TriggerMode> triggerMode_{tevrin::device::TriggerMode::kFreeRun};
  int ringSize_ = 4;
  std::atomic<int> lastReadIndex_{3};
  std::atomic<int> writeIndex_{0};
  int frameSize_ = 0;
  // The window and depth the ring was built with: its frames are copied out
  // by these, not by a window set since, until the next start rebuilds it.
  int ringWidth_ = 0;
  int ringHeight_ = 0;
  int ringBytesPerPixel_ = 1;
  std::atomic<int> errorFlag_{0};
  std::atomic<HANDLE> frameEvent_{nullptr};  // waited on by consumers while the owner stops
  std::atomic<float> frameRate_{0};
  std::atomic<double> transferRate_{0};
  int geometryDirty_ = 0;
  std::unique_ptr<CSensorBase> sensor_;
  // Held by every operation passed through to the sensor driver.
  std::recursive_mutex sensorCalls_;
  std::atomic<int> lastFrameCounter_{0};
  int openedOrdinal_ = 0;
  std::atomic<int> frameTimeoutMs_{5000};
  std::atomic<int> countedFrames_{0};
  int firstFrameAfterStart_ = 1;
  // When the sensor last heard the elapsed time (products with a periodic update).
  std::optional<DWORD> periodicNoted_;
  std::atomic<int> pendingCommand_{0};
  std::atomic<int> pendingArgument_{0};
  HANDLE thread_ = nullptr;
  // Each device has its own unnamed end event: a named one would be shared
  // by every camera the process opens.
  HANDLE threadEnd_ = nullptr;
  std::atomic<int> running_{0};
  // Serialises starting and stopping: the instance stops from the caller's
  // thread while its trigger thread starts the next capture.
  std::recursive_mutex controlLock_;
  SensorFactory makeSensor_;
  tevrin::device::FrameRateMeter rateMeter_;
  tevrin::device::FrameCounters counters_;
  std::atomic<int> endedSlot_{-1};  // the slot where the newest frame ended
};
