#include "sensor/SensorFamilyMember.h"

#include <tevrin/hardware/FpgaRegisters.h>

#include "sensor/SensorBus.h"

namespace fpga = tevrin::hardware::fpga;

CSensorFamilyMember::CSensorFamilyMember(const SensorModel& model, CControllerBase* controller, uint8_t deviceAddress)
    : CSensorBase(controller, deviceAddress), model_(model) {
  const SensorWindowRect& window = model.defaultWindow;
  info_.maxWidth = model.maxWidth;
  info_.maxHeight = model.maxHeight;
  info_.defaultX = window.x;
  info_.defaultY = window.y;
  info_.defaultWidth = window.width ? window.width : model.maxWidth;
  info_.defaultHeight = window.height ? window.height : model.maxHeight;
  info_.windowX = info_.defaultX;
  info_.windowY = info_.defaultY;
  info_.windowWidth = model.initialWindowWidth ? model.initialWindowWidth : info_.defaultWidth;
  info_.windowHeight = info_.defaultHeight;
  info_.mirrorVInSensor = info_.mirrorHInSensor = model.mirrorsInSensor ? 1 : 0;
  info_.bitsPerPixel = model.bitsPerPixel;
  info_.pixelClockKHz = model.pixelClockKHz;
  info_.orientation = 1;
  modelCode_ = model.presetCode;
}

int CSensorFamilyMember::SetCaptureWindow(int x, int width, int y, int height, int mode) {
  if (!model_.windowOperations) return 0;
  const bool fits =
      x >= 0 && y >= 0 && width > 0 && height > 0 && width <= info_.maxWidth - x && height <= info_.maxHeight - y;
  // The CCDs answer every window with success; one beyond the sensor leaves
  // the window they read as it was, so that the device sizes its buffers to it.
  if (!fits) return model_.anyWindow ? 1 : 0;
  info_.windowX = x;
  info_.windowY = y;
  info_.windowWidth = width;
  info_.windowHeight = height;
  info_.readoutMode = mode;
  return 1;
}

int CSensorFamilyMember::GetCaptureWindow(int* x, int* width, int* y, int* height, int* mode) {
  if (!model_.windowOperations || !x || !width || !y || !height || !mode) return 0;
  *x = info_.windowX;
  *width = info_.windowWidth;
  *y = info_.windowY;
  *height = info_.windowHeight;
  *mode = info_.readoutMode;
  return 1;
}

int CSensorFamilyMember::WriteRegisterRaw(unsigned address, unsigned value) {
  if (!controller_) return 0;
  std::lock_guard lock(registerLock_);
  switch (model_.registers) {
    case RegisterForm::kByte:
      return sensor_bus::WriteByteRegister(*controller_, deviceAddress_, address, value);
    case RegisterForm::kWord:
      return sensor_bus::WriteWordRegister(*controller_, deviceAddress_, address, value);
    case RegisterForm::kWide:
      return controller_->WriteWideRegister(address, value) ? 1 : 0;
    case RegisterForm::kNone:
      break;
  }
  return 0;
}

int CSensorFamilyMember::ReadRegisterRaw(unsigned address, int* value) {
  if (!controller_ || !value) return 0;
  std::lock_guard lock(registerLock_);
  switch (model_.registers) {
    case RegisterForm::kByte:
      return sensor_bus::ReadByteRegister(*controller_, deviceAddress_, address, value);
    case RegisterForm::kWord:
      return sensor_bus::ReadWordRegister(*controller_, deviceAddress_, address, value);
    case RegisterForm::kWide: {
      uint32_t wide = 0;
      if (!controller_->ReadWideRegister(address, &wide)) return 0;
      *value = static_cast<int>(wide);
      return 1;
    }
    case RegisterForm::kNone:
      break;
  }
  return 0;
}

int CSensorFamilyMember::IsReady() {
  constexpr int kChipIdentity = 0x2C01;
  constexpr uint8_t kBoardReady = 4;
  int chip = 0;
  uint8_t board = 0;
  switch (model_.readiness) {
    case SensorReadiness::kAlways:
      return 1;
    case SensorReadiness::kChipAnswers:
      return ReadRegisterRaw(0, &chip) && chip != 0 ? 1 : 0;
    case SensorReadiness::kChipIdentifies:
      return ReadRegisterRaw(0, &chip) && chip == kChipIdentity ? 1 : 0;
    case SensorReadiness::kBoardReports:
      return controller_ && controller_->ReadBoardRegister(fpga::kSensorReadyCode, &board) && board == kBoardReady;
    case SensorReadiness::kBusAnswers:
      return BusAnswers() ? 1 : 0;
    case SensorReadiness::kReadyFlag:
      return ReadyFlagRaised() ? 1 : 0;
    case SensorReadiness::kSensorStarted:
      return SensorStarted() ? 1 : 0;
  }
  return 0;
}

// The sensor's own controller answers on its I2C address once it has booted.
bool CSensorFamilyMember::BusAnswers() {
  constexpr uint8_t kSensorController = 0x5F;
  constexpr int kAttempts = 20;
  constexpr DWORD kApartMs = 100;
  constexpr DWORD kLimitMs = 5000;
  if (!controller_) return false;
  const DWORD start = GetTickCount();
  for (int attempt = 0; attempt < kAttempts && GetTickCount() - start < kLimitMs; ++attempt) {
    if (attempt > 0) pause_(kApartMs);
    uint8_t state = 0xFF;
    if (controller_->I2cRead(kSensorController, &state, 1, sensor_bus::kTimeoutMs) && (state & 0x0F) == 0) return true;
  }
  return false;
}

// A cooled camera comes up slowly; once it does, its first status block is taken.
bool CSensorFamilyMember::ReadyFlagRaised() {
  constexpr int kPolls = 60;
  constexpr DWORD kApartMs = 1000;
  if (!controller_) return false;
  for (int poll = 0; poll < kPolls; ++poll) {
    uint8_t flag = 0;
    if (controller_->ReadReadyFlag(&flag) && (flag & 1)) {
      RefreshStatus();
      uint8_t counter = 0;
      controller_->ReadBoardRegister(fpga::kStatusCounter, &counter);
      return true;
    }
    pause_(kApartMs);
  }
  return false;
}

bool CSensorFamilyMember::SensorStartedNow(bool withBuildLevel) {
  constexpr uint8_t kBuildLevelReady = 9;
  constexpr uint8_t kStarted = 3;
  uint8_t value = 0;
  if (withBuildLevel && controller_->ReadBoardRegister(fpga::kVersionByte3, &value) && value >= kBuildLevelReady)
    return true;
  return controller_->ReadBoardRegister(fpga::kSensorStartedState, &value) && value == kStarted;
}

// The sensor starts on its own after power-up; one that has not is given
// time, then asked to restart, a few times over.
bool CSensorFamilyMember::SensorStarted() {
  constexpr DWORD kFirstWaitMs = 7000;
  constexpr int kRounds = 5;
  constexpr DWORD kRestartWaitMs = 5000;
  if (!controller_) return false;
  if (SensorStartedNow(true)) return true;
  pause_(kFirstWaitMs);
  for (int round = 0; round < kRounds; ++round) {
    if (SensorStartedNow(false)) return true;
    RequestRestart();
    pause_(kRestartWaitMs);
  }
  return false;
}
