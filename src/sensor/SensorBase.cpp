#include "sensor/SensorBase.h"

#include <tevrin/hardware/FpgaRegisters.h>
#include <windows.h>

#include <climits>
#include <cstring>
#include <limits>
#include <optional>

#include "sensor/ScopedTimerPeriod.h"

namespace fpga = tevrin::hardware::fpga;

namespace {

constexpr int kVersionAttempts = 10;
constexpr DWORD kVersionRetryMs = 100;
constexpr uint16_t kFastBoardBit = 0x4000;
// Models whose restart line is wired to board register 0x96 instead of 0x6C.
constexpr int kModelRestartAt96A = 103;
constexpr int kModelRestartAt96B = 115;
constexpr uint8_t kAlternateRestartPulse = 0x96;
constexpr uint8_t kTriggerLogicOn = 2;
constexpr uint8_t kTriggerExposure3 = 0x9C;

struct VerifySchedule {
  int attempts;
  DWORD sleepMs;
  bool timerPeriod;
};

VerifySchedule ScheduleOf(CSensorBase::VerifyPolicy policy) {
  switch (policy) {
    case CSensorBase::VerifyPolicy::kTimed:
      return {10, 5, true};
    case CSensorBase::VerifyPolicy::kPlain:
      return {10, 5, false};
    case CSensorBase::VerifyPolicy::kPatient:
      break;
  }
  return {100, 100, false};
}

// Writes `value` to `out` when there is an out-pointer; the result is the support flag.
template <class T>
int Report(T* out, T value, int supported) {
  if (!out) return 0;
  *out = value;
  return supported;
}

}  // namespace

CSensorBase::CSensorBase(CControllerBase* controller, uint8_t deviceAddress)
    : controller_(controller), deviceAddress_(deviceAddress) {}

CSensorBase::~CSensorBase() = default;

int CSensorBase::SetModelCode(int code) {
  modelCode_ = code;
  return 1;
}

int CSensorBase::SetTriggerModeValue(int mode) {
  triggerMode_ = mode;
  return 1;
}

int CSensorBase::GetTriggerModeValue() {
  return triggerMode_;
}

int CSensorBase::HasBlackLevel() {
  return info_.blackSupported;
}
int CSensorBase::GetBlackLevel(int* value) {
  return Report(value, info_.blackValue, info_.blackSupported);
}
int CSensorBase::GetBlackLevelMin(int* value) {
  return Report(value, info_.blackMin, info_.blackSupported);
}
int CSensorBase::GetBlackLevelMax(int* value) {
  return Report(value, info_.blackMax, info_.blackSupported);
}
int CSensorBase::GetBlackLevelDefault(int* value) {
  return Report(value, info_.blackDefault, info_.blackSupported);
}

int CSensorBase::HasSensorOption() {
  return info_.optionSupported;
}
int CSensorBase::GetSensorOption(int* value) {
  return Report(value, info_.optionValue, info_.optionSupported);
}

int CSensorBase::HasGainLevel() {
  return info_.gainLevelSupported;
}
int CSensorBase::GetGainLevelMin(int* value) {
  return Report(value, info_.gainLevelMin, info_.gainLevelSupported);
}
int CSensorBase::GetGainLevelMax(int* value) {
  return Report(value, info_.gainLevelMax, info_.gainLevelSupported);
}
int CSensorBase::GetGainLevelDefault(int* value) {
  return Report(value, info_.gainLevelDefault, info_.gainLevelSupported);
}
int CSensorBase::GetGainLevelValue(int* value) {
  return Report(value, info_.gainLevelValue, info_.gainLevelSupported);
}

int CSensorBase::GetMirrorVDefault() {
  return info_.mirrorVDefault;
}
int CSensorBase::GetMirrorHDefault() {
  return info_.mirrorHDefault;
}
int CSensorBase::IsMirrorVInSensor() {
  return info_.mirrorVInSensor;
}
int CSensorBase::IsMirrorHInSensor() {
  return info_.mirrorHInSensor;
}

int CSensorBase::GetSensorInfo(SensorInfo* out) {
  if (!out) return 0;
  std::memcpy(out, &info_, sizeof(info_));
  return 1;
}

int CSensorBase::HasExposureSeconds() {
  return info_.expSecSupported;
}
int CSensorBase::GetExposureSecondsMin(double* seconds) {
  return Report(seconds, info_.expSecMin, info_.expSecSupported);
}
int CSensorBase::GetExposureSecondsMax(double* seconds) {
  return Report(seconds, info_.expSecMax, info_.expSecSupported);
}
int CSensorBase::GetExposureSecondsDefault(double* seconds) {
  return Report(seconds, info_.expSecDefault, info_.expSecSupported);
}
int CSensorBase::GetExposureSeconds(double* seconds) {
  return Report(seconds, info_.expSecValue, info_.expSecSupported);
}

bool CSensorBase::GetFpgaVersion(uint16_t* version) {
  uint16_t cached = fpgaVersion_.load();
  if (cached == 0 && controller_) {
    for (int attempt = 0; attempt < kVersionAttempts; ++attempt) {
      if (attempt > 0) Sleep(kVersionRetryMs);
      uint16_t read = 0;
      if (controller_->ReadFpgaVersion(&read) && read != 0) {
        fpgaVersion_.store(read);
        cached = read;
        break;
      }
    }
  }
  if (cached == 0) return false;
  *version = cached;
  return true;
}

bool CSensorBase::IsFastBoard() {
  uint16_t version = 0;
  return GetFpgaVersion(&version) && (version & kFastBoardBit) != 0;
}

bool CSensorBase::IsOldFirmware() {
  uint16_t version = 0;
  return GetFpgaVersion(&version) && version <= fpga::kVersionOldFirmwareMax;
}

bool CSensorBase::IsInternalCorrectionAvailable() {
  uint16_t version = 0;
  return GetFpgaVersion(&version) && (version & fpga::kVersionInternalCorrection) != 0;
}

bool CSensorBase::HasBoardTemperature() {
  uint16_t version = 0;
  return GetFpgaVersion(&version) && version > fpga::kVersionBoardTemperatureAbove;
}

bool CSensorBase::ReadBoardStatus(uint8_t* status) {
  int cached = boardStatus_.load();
  if (cached < 0) {
    uint8_t read = 0;
    if (!controller_ || !controller_->ReadBoardRegister(fpga::kBoardStatus, &read)) return false;
    boardStatus_.store(read);
    cached = read;
  }
  *status = static_cast<uint8_t>(cached);
  return true;
}

int CSensorBase::WriteBoardRegisterVerified(uint8_t reg, uint8_t value, VerifyPolicy policy) {
  if (!controller_) return 0;
  const VerifySchedule schedule = ScheduleOf(policy);
  std::optional<ScopedTimerPeriod> period;
  if (schedule.timerPeriod) period.emplace();
  for (int attempt = 0; attempt < schedule.attempts; ++attempt) {
    // A write the port refused is tried again at once; a stored value is
    // read back after a pause, as the FPGA takes it over with its own clock.
    if (!controller_->WriteBoardRegister(reg, value)) continue;
    Sleep(schedule.sleepMs);
    uint8_t read = 0;
    if (controller_->ReadBoardRegister(reg, &read) && read == value) return 1;
    Sleep(schedule.sleepMs);
  }
  return 0;
}

int CSensorBase::PulseRestart() {
  if (restartPulse_.load() == 0) return 1;
  if (!controller_) return 0;
  const bool alternate = modelCode_ == kModelRestartAt96A || modelCode_ == kModelRestartAt96B;
  const uint8_t reg = alternate ? kAlternateRestartPulse : fpga::kRestartPulse;
  ScopedTimerPeriod period;
  controller_->WriteBoardRegister(reg, 1);
  Sleep(1);
  controller_->WriteBoardRegister(reg, 0);
  Sleep(1);
  return 1;
}

int CSensorBase::SetExposureNanoseconds(uint64_t nanoseconds, double lineTimeNs) {
  constexpr double kReadoutOffsetNs = 7372.0;
  const double lines = (static_cast<double>(nanoseconds) - kReadoutOffsetNs) / lineTimeNs;
  // Times shorter than the readout offset still expose for one line; the
  // driver clamps what is too long for its sensor.
  constexpr double kMaxLines = std::numeric_limits<unsigned>::max();
  const unsigned whole = lines < 1.0 ? 1u : lines >= kMaxLines ? UINT_MAX : static_cast<unsigned>(lines);
  return SetExposureLines(whole);
}

void CSensorBase::ProgramTriggerTiming(const TriggerTiming& timing) {
  auto write = [&](uint8_t reg, uint32_t value) {
    WriteBoardRegisterVerified(reg, static_cast<uint8_t>(value & 0xFF), timing.policy);
  };
  if (timing.switchLogic) write(fpga::kTriggerMode, 0);
  write(fpga::kTriggerExposure0, timing.exposureLines);
  write(fpga::kTriggerExposure1, timing.exposureLines >> 8);
  write(fpga::kTriggerExposure2, timing.exposureLines >> 16);
  if (timing.exposureTopBits) write(kTriggerExposure3, (timing.exposureLines >> 24) & 0x0F);
  write(fpga::kTriggerTiming0, timing.constant0);
  write(fpga::kTriggerTiming1, timing.constant1);
  write(fpga::kTriggerPeriod0, timing.periodLines);
  write(fpga::kTriggerPeriod1, timing.periodLines >> 8);
  write(fpga::kTriggerPeriod2, timing.periodLines >> 16);
  if (timing.switchLogic) write(fpga::kTriggerMode, kTriggerLogicOn);
}
