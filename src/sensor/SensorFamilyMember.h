// A driver of the sensor family built from its model alone: the sensor
// area, window and clock of its description block, its preset model code,
// its readiness check and its sensor-register wire form. The sensors whose
// programming this build does not carry are served by this class as it
// stands; the members described in full derive from it.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>

#include "sensor/SensorBase.h"
#include "sensor/SensorModel.h"

class CSensorFamilyMember : public CSensorBase {
 public:
  using Pause = std::function<void(DWORD milliseconds)>;

  CSensorFamilyMember(const SensorModel& model, CControllerBase* controller, uint8_t deviceAddress);

  int IsReady() override;
  // Nothing of the power-on programming is described for these models; the
  // sensor starts with its own defaults.
  int Initialize() override { return 1; }
  int SetCaptureWindow(int x, int width, int y, int height, int mode) override;
  int GetCaptureWindow(int* x, int* width, int* y, int* height, int* mode) override;
  int WriteRegisterRaw(unsigned address, unsigned value) override;
  int ReadRegisterRaw(unsigned address, int* value) override;

  const SensorModel& Model() const { return model_; }
  // The waits of the readiness checks, for tests that do not want to sit
  // through them; set before the driver is used.
  void SetPause(Pause pause) { pause_ = std::move(pause); }

 private:
  bool BusAnswers();
  bool ReadyFlagRaised();
  bool SensorStarted();
  bool SensorStartedNow(bool withBuildLevel);

  const SensorModel& model_;
  std::mutex registerLock_;
  Pause pause_ = [](DWORD milliseconds) { Sleep(milliseconds); };
};
