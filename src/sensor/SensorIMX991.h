// Driver of the Sony IMX991 (640 x 512 short-wave infrared), and the common
// ground of its siblings: every sensor register transfer is arbitrated with
// the FPGA, exposure is the distance of the shutter line from the frame end,
// and the FPGA's trigger logic follows the exposure in trigger mode.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>

#include "sensor/Imx99xModel.h"
#include "sensor/SensorBase.h"

class CSensorIMX991 : public CSensorBase {
 public:
  CSensorIMX991(CControllerBase* controller, uint8_t deviceAddress);
  ~CSensorIMX991() override;

  int SetModelCode(int code) override;
  int IsReady() override { return 1; }
  int Initialize() override;
  int SetCaptureWindow(int x, int width, int y, int height, int mode) override;
  int GetCaptureWindow(int* x, int* width, int* y, int* height, int* mode) override;
  int SetTriggerMode(int mode) override;
  int GetTriggerMode(int* mode) override;
  int SetAuxiliaryValue(int value) override;
  int ApplyAuxiliary() override { return 1; }
  int HasAuxiliary() override;
  int SetBitDepth(int sixteen) override;
  int SetExposureLines(unsigned lines) override;
  int GetExposureLines(int* lines) override;
  int SetGlobalGain(unsigned gain) override;
  int GetGlobalGain(int* gain) override;
  int GetExposureLinesMin(int* lines) override;
  int GetExposureLinesMax(int* lines) override;
  int GetExposureLinesDefault(int* lines) override;
  int GetGlobalGainMin(int* gain) override;
  int GetGlobalGainMax(int* gain) override;
  int GetGlobalGainDefault(int* gain) override;
  int GetColorGainMin(int* gain) override;
  int GetColorGainMax(int* gain) override;
  int GetColorGainDefault(int* gain) override;
  int SetExposureTime(unsigned units) override;
  int GetExposureTime(int* units) override;
  int GetExposureTimeMin(int* units) override;
  int GetExposureTimeMax(int* units) override;
  int GetExposureTimeDefault(int* units) override;
  int SetMirrorV(int on) override;
  int GetMirrorV(int* on) override;
  int SetMirrorH(int on) override;
  int GetMirrorH(int* on) override;
  int WriteRegisterRaw(unsigned address, unsigned value) override;
  int ReadRegisterRaw(unsigned address, int* value) override;
  int WriteRegister(unsigned address, unsigned value) override;
  int ReadRegister(unsigned address, int* value) override;
  int HasInternalCorrection() override;
  int HasCooler() override;
  int GetCooler() override;
  int SetCooler(int on) override;
  int HasTemperature() override { return 1; }
  int GetTemperature(double* celsius) override;
  int SetExposureSeconds(double seconds) override;
  int SupportsGray16() override;
  int SupportsColor() override { return 0; }
  int HasFeatureBit() override;
  int EnableFeatureBit() override;

  // Milliseconds of the frame length last written; the settle time after arming the trigger.
  int FramePeriodMs() const { return framePeriodMs_.load(); }

 protected:
  CSensorIMX991(CControllerBase* controller, uint8_t deviceAddress, const Imx99xModel& model);

  // Line time in nanoseconds of the exposure conversion.
  virtual double LineTimeNs();
  // The FPGA's horizontal start offset for the mirror state and readout mode.
  virtual int MirrorOffset(bool mirrored);
  virtual void ProgramTriggerTiming();
  virtual void ProgramInitialBlackLevel();

  // Runs `transfer` (one sensor register transfer) once the FPGA has granted
  // the sensor bus; 0 when it never did or the transfer failed.
  template <class Transfer>
  int WithSensorBus(Transfer&& transfer) {
    if (!controller_) return 0;
    RequestSensorBus(true);
    for (int attempt = 0; attempt < kSensorBusAttempts; ++attempt) {
      if (SensorBusFree() && transfer()) {
        RequestSensorBus(false);
        return 1;
      }
      PauseForSensorBus();
    }
    RequestSensorBus(false);
    return 0;
  }

  const Imx99xModel& model_;

 private:
  static constexpr int kSensorBusAttempts = 100;
  struct RegisterWrite {
    uint16_t address;
    uint8_t value;
  };
  struct RequestedWindow {
    int x, width, y, height, mode;
  };
  void FillSensorInfo();
  // Writes (register, value) pairs with `pauseMs` after each; stops at the first failure.
  bool WriteSequence(std::span<const RegisterWrite> writes, unsigned pauseMs);
  void RequestSensorBus(bool request);
  bool SensorBusFree();
  static void PauseForSensorBus();
  uint16_t ReadTemperatureRaw();

  std::mutex registerLock_;
  std::atomic<int> framePeriodMs_{0};
  std::atomic<int> windowChanged_{0};
  RequestedWindow requested_{};
};
