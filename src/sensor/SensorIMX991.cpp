#include "sensor/SensorIMX991.h"

#include <tevrin/hardware/FpgaRegisters.h>
#include <tevrin/hardware/Imx991Registers.h>
#include <windows.h>

#include <algorithm>
#include <cmath>

#include "sensor/ScopedTimerPeriod.h"

namespace fpga = tevrin::hardware::fpga;
namespace reg = tevrin::hardware::imx991;

namespace {

constexpr uint32_t kI2cTimeoutMs = 3000;
constexpr DWORD kSensorBusPauseMs = 3;
constexpr DWORD kTriggerStepMs = 100;
constexpr DWORD kTriggerSettleExtraMs = 10;
constexpr uint16_t kAuxiliaryVersionAbove = 4;
constexpr uint16_t kFeatureVersionAbove = 293;
constexpr int kBoardTemperatureAttempts = 5;
constexpr uint32_t kMaxFrameLines = 0xFFFFFF;  // VMAX is 24 bits wide
constexpr uint32_t kTriggerPeriodExtraLines = 9;
constexpr int kReducedRowExtra = 36;
constexpr int kReducedRowOffset = 4;
constexpr uint8_t kReducedHeight = 2;
// Frame length per row count: the sensor's own clock period against the board's.
constexpr double kSensorClockPeriod = 1.30925e-5;
constexpr double kBoardClockPeriod = 1.29599e-5;
constexpr double kFramePeriodMsPerLine = reg::kLineTimeStandardNs / 1e6;

// FPGA horizontal start offsets [fast board][half resolution][mirrored].
constexpr int kMirrorOffsets[2][2][2] = {{{8, 104}, {4, 52}}, {{4, 100}, {0, 48}}};

uint32_t EvenUp(uint32_t lines) {
  return (lines + 1) & ~1u;
}
uint32_t EvenDown(uint32_t lines) {
  return lines & ~1u;
}
int Out(int* out, int value) {
  if (!out) return 0;
  *out = value;
  return 1;
}
uint8_t Byte(uint32_t value, int shift) {
  return static_cast<uint8_t>((value >> shift) & 0xFF);
}

}  // namespace

CSensorIMX991::CSensorIMX991(CControllerBase* controller, uint8_t deviceAddress)
    : CSensorIMX991(controller, deviceAddress, imx99x::kImx991) {}

CSensorIMX991::CSensorIMX991(CControllerBase* controller, uint8_t deviceAddress, const Imx99xModel& model)
    : CSensorBase(controller, deviceAddress), model_(model) {
  FillSensorInfo();
  requested_ = {0, model_.maxWidth, 0, model_.maxHeight, 0};
}

CSensorIMX991::~CSensorIMX991() = default;

void CSensorIMX991::FillSensorInfo() {
  info_ = SensorInfo{};
  info_.maxWidth = info_.defaultWidth = info_.windowWidth = model_.maxWidth;
  info_.maxHeight = info_.defaultHeight = info_.windowHeight = model_.maxHeight;
  info_.heightAdjustable = 1;
  info_.lineLength = model_.lineLength;
  info_.frameLength = model_.frameLength;
  info_.featureFlag = 1;
  info_.gainMax = reg::kMaxGain;
  info_.gainStep = 1;
  info_.expLinesMin = model_.expLinesMin;
  info_.expLinesMax = model_.expLinesMax;
  info_.expLinesValue = info_.expLinesDefault = model_.expLinesDefault;
  info_.expLinesStep = 1;
  info_.expTimeMin = 1;
  info_.expTimeMax = 20000;
  info_.expTimeValue = info_.expTimeDefault = model_.expTimeDefault;
  info_.expSecMin = model_.expSecMin;
  info_.expSecMax = 2.0;
  info_.expSecValue = info_.expSecDefault = model_.expSecDefault;
  info_.expSecSupported = 1;
  info_.mirrorVInSensor = 1;
  info_.mirrorHInSensor = 1;
  info_.bitsPerPixel = 8;
  info_.pixelClockKHz = 54545;
  info_.orientation = 4;
  modelCode_ = model_.bottomUpCode;
}

int CSensorIMX991::SetModelCode(int code) {
  if (code != model_.bottomUpCode && code != model_.topDownCode) return 0;
  info_.orientation = code == model_.bottomUpCode ? 4 : 1;
  modelCode_ = code;
  return 1;
}

// Register access ----------------------------------------------------------

int CSensorIMX991::WriteRegisterRaw(unsigned address, unsigned value) {
  if (!controller_) return 0;
  const uint8_t data[3] = {Byte(address, 8), Byte(address, 0), Byte(value, 0)};
  std::lock_guard lock(registerLock_);
  Sleep(1);
  return controller_->I2cWrite(deviceAddress_, data, sizeof(data), kI2cTimeoutMs) ? 1 : 0;
}

int CSensorIMX991::ReadRegisterRaw(unsigned address, int* value) {
  if (!controller_ || !value) return 0;
  const uint8_t pointer[2] = {Byte(address, 8), Byte(address, 0)};
  uint8_t byte = 0;
  std::lock_guard lock(registerLock_);
  if (!controller_->I2cWrite(deviceAddress_, pointer, sizeof(pointer), kI2cTimeoutMs) ||
      !controller_->I2cRead(deviceAddress_, &byte, 1, kI2cTimeoutMs))
    return 0;
  *value = byte;
  return 1;
}

void CSensorIMX991::RequestSensorBus(bool request) {
  controller_->WriteBoardRegister(fpga::kSensorBusRequest, request ? 1 : 0);
}

bool CSensorIMX991::SensorBusFree() {
  uint8_t status = 0;
  return controller_->ReadBoardRegister(fpga::kStatus, &status) && status == 0;
}

void CSensorIMX991::PauseForSensorBus() {
  Sleep(kSensorBusPauseMs);
}

int CSensorIMX991::WriteRegister(unsigned address, unsigned value) {
  // The FPGA drives the sensor bus itself while it streams; ask for it
  // through 0x9F and wait until 0x02 reports it free.
  return WithSensorBus([&] { return WriteRegisterRaw(address, value) != 0; });
}

int CSensorIMX991::ReadRegister(unsigned address, int* value) {
  if (!value) return 0;
  return WithSensorBus([&] { return ReadRegisterRaw(address, value) != 0; });
}

bool CSensorIMX991::WriteSequence(std::span<const RegisterWrite> writes, unsigned pauseMs) {
  for (const RegisterWrite& write : writes) {
    if (!WriteRegister(write.address, write.value)) return false;
    Sleep(pauseMs);
  }
  return true;
}

// Bring-up -----------------------------------------------------------------

void CSensorIMX991::ProgramInitialBlackLevel() {
  const uint16_t black = IsFastBoard() ? reg::kBlackLevelFast : reg::kBlackLevelStandard;
  WriteRegister(reg::kBlackLevel0, black & 0xFF);
  WriteRegister(reg::kBlackLevel1, (black >> 8) & 0x0F);
}

int CSensorIMX991::Initialize() {
  if (!controller_) return 0;
  WriteRegister(reg::kInitControl, 0);
  ProgramInitialBlackLevel();
  SetGlobalGain(static_cast<unsigned>(info_.gainDefault));
  SetMirrorH(info_.mirrorHDefault);
  SetMirrorV(info_.mirrorVDefault);
  SetCaptureWindow(info_.defaultX, info_.defaultWidth, info_.defaultY, info_.defaultHeight, 0);
  SetExposureLines(static_cast<unsigned>(info_.expLinesDefault));
  if (model_.expSecMinFast > 0) info_.expSecMin = IsFastBoard() ? model_.expSecMinFast : model_.expSecMin;
  return 1;
}

// Window -------------------------------------------------------------------

int CSensorIMX991::SetCaptureWindow(int x, int width, int y, int height, int mode) {
  // Negative positions and empty windows have no meaning for the sensor.
  if (x < 0 || y < 0 || width <= 0 || height <= 0) return 0;
  const bool reduced = mode == 0 && height != info_.defaultHeight;
  const int divisor = mode == 1 ? 2 : 1;
  const int64_t left = (int64_t{x} + 7) & ~int64_t{7};
  int64_t top = (int64_t{y} + 7) & ~int64_t{7};
  const int64_t columns = (width / divisor) & ~3;
  const int64_t rows = (height / divisor) & ~7;
  if (columns == 0 || rows == 0 || left + columns > info_.maxWidth || top + rows > info_.maxHeight) return 0;

  int rowBasis = model_.fullRowBasis;
  uint8_t readout = 0;
  uint8_t reducedHeight = 0;
  if (reduced) {
    rowBasis = height + kReducedRowExtra;
    reducedHeight = kReducedHeight;
  } else if (mode == 1) {
    rowBasis = model_.binnedRowBasis;
    readout = reg::kReadoutBinning;
  }
  auto frameLines = static_cast<uint32_t>(rowBasis * kSensorClockPeriod / kBoardClockPeriod);
  if (model_.evenLines) frameLines = EvenUp(frameLines);

  // Rows counted from the bottom: the window is taken from the other end.
  if (info_.orientation == 3 || info_.orientation == 4) top = info_.maxHeight - rows - top;
  if (reduced) top += kReducedRowOffset;

  const uint32_t lineClocks = IsFastBoard() ? reg::kHmaxFast : reg::kHmaxStandard;
  const uint8_t high = model_.windowHighMask;
  const auto l = static_cast<uint32_t>(left), t = static_cast<uint32_t>(top);
  const auto w = static_cast<uint32_t>(columns), h = static_cast<uint32_t>(rows);
  const RegisterWrite writes[] = {
      {reg::kReadoutMode, readout},       {reg::kReducedHeight, reducedHeight},
      {reg::kWindowX0, Byte(l, 0)},       {reg::kWindowX1, static_cast<uint8_t>(Byte(l, 8) & high)},
      {reg::kWindowY0, Byte(t, 0)},       {reg::kWindowY1, static_cast<uint8_t>(Byte(t, 8) & high)},
      {reg::kWindowWidth0, Byte(w, 0)},   {reg::kWindowWidth1, static_cast<uint8_t>(Byte(w, 8) & high)},
      {reg::kWindowHeight0, Byte(h, 0)},  {reg::kWindowHeight1, static_cast<uint8_t>(Byte(h, 8) & high)},
      {reg::kVmax0, Byte(frameLines, 0)}, {reg::kVmax1, Byte(frameLines, 8)},
      {reg::kHmax0, Byte(lineClocks, 0)}, {reg::kHmax1, Byte(lineClocks, 8)},
  };
  // A window only partly written leaves the sensor reading something else than
  // the frame the device expects: fail, and keep the stored window the last
  // one programmed whole.
  for (const RegisterWrite& write : writes) {
    if (!WriteRegister(write.address, write.value)) return 0;
  }

  info_.lineLength = static_cast<int>(lineClocks);
  info_.frameLength = static_cast<int>(frameLines);
  if (l != uint32_t(info_.windowX) || t != uint32_t(info_.windowY) || w != uint32_t(info_.windowWidth) ||
      h != uint32_t(info_.windowHeight) || mode != info_.readoutMode)
    windowChanged_.store(1);
  info_.windowX = static_cast<int>(l);
  info_.windowY = static_cast<int>(t);
  info_.windowWidth = static_cast<int>(w);
  info_.windowHeight = static_cast<int>(h);
  info_.readoutMode = mode;
  requested_ = {x, width, y, height, mode};
  return 1;
}

int CSensorIMX991::GetCaptureWindow(int* x, int* width, int* y, int* height, int* mode) {
  if (!x || !width || !y || !height || !mode) return 0;
  *x = info_.windowX;
  *width = info_.windowWidth;
  *y = info_.windowY;
  *height = info_.windowHeight;
  *mode = info_.readoutMode;
  return 1;
}

int CSensorIMX991::SetBitDepth(int sixteen) {
  info_.bitsPerPixel = sixteen ? 16 : 8;
  // The window as the caller asked for it: the stored one is already
  // converted to sensor rows and would be converted a second time.
  SetCaptureWindow(requested_.x, requested_.width, requested_.y, requested_.height, requested_.mode);
  return 1;
}

// Exposure -----------------------------------------------------------------

double CSensorIMX991::LineTimeNs() {
  return IsFastBoard() ? reg::kLineTimeFastNs : reg::kLineTimeStandardNs;
}

int CSensorIMX991::SetExposureLines(unsigned lines) {
  const uint32_t margin = model_.shutterMargin;
  // The frame length register holds 24 bits; a longer exposure cannot be programmed.
  uint32_t n = std::min<uint32_t>({lines, static_cast<uint32_t>(info_.expLinesMax), kMaxFrameLines - margin - 1});
  if (model_.evenLines) n = std::max<uint32_t>(n, static_cast<uint32_t>(info_.expLinesMin));

  const auto previous = static_cast<uint32_t>(std::max(info_.frameLength, 0));
  const unsigned pauseMs = std::max(1, info_.expTimeValue / 1000000);
  RegisterWrite writes[8];
  int count = 0;
  uint32_t frameLines = previous;
  uint32_t shutter = 0;
  if (uint64_t{n} + margin > previous) {
    // The frame grows so that the shutter line stays at the margin. The
    // bytes are written in the order that never passes through a frame
    // length shorter than both the old and the new one.
    frameLines = n + margin;
    if (model_.evenLines) frameLines = EvenUp(frameLines);
    if (Byte(frameLines, 16) != 0) {
      writes[count++] = {reg::kVmax2, Byte(frameLines, 16)};
      writes[count++] = {reg::kVmax1, Byte(frameLines, 8)};
    } else if (Byte(frameLines, 8) < Byte(previous, 8)) {
      writes[count++] = {reg::kVmax1, Byte(frameLines, 8)};
      writes[count++] = {reg::kVmax2, 0};
    } else {
      writes[count++] = {reg::kVmax2, 0};
      writes[count++] = {reg::kVmax1, Byte(frameLines, 8)};
    }
    writes[count++] = {reg::kVmax0, Byte(frameLines, 0)};
    shutter = frameLines - n;
  } else {
    writes[count++] = {reg::kVmax2, Byte(frameLines, 16)};
    writes[count++] = {reg::kVmax1, Byte(frameLines, 8)};
    writes[count++] = {reg::kVmax0, Byte(frameLines, 0)};
    shutter = frameLines - n;
  }
  if (model_.evenLines) shutter = std::max(EvenDown(shutter), margin);
  writes[count++] = {reg::kShs0, Byte(shutter, 0)};
  writes[count++] = {reg::kShs1, static_cast<uint8_t>(Byte(shutter, 8) & 0x0F)};
  writes[count++] = {reg::kShs2, 0};

  bool written = false;
  {
    ScopedTimerPeriod period;
    written = WriteSequence(std::span(writes, count), pauseMs);
  }
  if (written) info_.expLinesValue = static_cast<int>(n);
  if (triggerMode_ == 1) ProgramTriggerTiming();
  framePeriodMs_.store(static_cast<int>(frameLines * kFramePeriodMsPerLine));
  return written ? 1 : 0;
}

int CSensorIMX991::SetExposureTime(unsigned units) {
  units = std::clamp(units, static_cast<unsigned>(info_.expTimeMin), static_cast<unsigned>(info_.expTimeMax));
  if (!SetExposureNanoseconds(uint64_t{units} * 100000, LineTimeNs())) return 0;
  info_.expTimeValue = static_cast<int>(units);
  info_.expSecValue = units / 10000.0;
  return 1;
}

int CSensorIMX991::SetExposureSeconds(double seconds) {
  if (std::isnan(seconds)) return 0;
  seconds = std::clamp(seconds, info_.expSecMin, info_.expSecMax);
  if (!SetExposureNanoseconds(static_cast<uint64_t>(seconds * 1e9), LineTimeNs())) return 0;
  info_.expSecValue = seconds;
  info_.expTimeValue = static_cast<int>(seconds * 10000);
  return 1;
}

// Gain ---------------------------------------------------------------------

int CSensorIMX991::SetGlobalGain(unsigned gain) {
  gain = std::min(gain, static_cast<unsigned>(info_.gainMax));
  if (!WriteRegister(reg::kGain0, gain & 0xFF)) return 0;
  WriteRegister(reg::kGain1, (gain >> 8) & 1);
  info_.gainValue = static_cast<int>(gain);
  return 1;
}

// Mirrors ------------------------------------------------------------------

int CSensorIMX991::MirrorOffset(bool mirrored) {
  return kMirrorOffsets[IsFastBoard()][info_.readoutMode == 1][mirrored];
}

int CSensorIMX991::SetMirrorV(int on) {
  if (!WriteRegister(reg::kFlip, (info_.mirrorH ? 2 : 0) | (on ? 1 : 0))) return 0;
  info_.mirrorV = on ? 1 : 0;
  return 1;
}

int CSensorIMX991::SetMirrorH(int on) {
  if (!WriteRegister(reg::kFlip, (on ? 2 : 0) | (info_.mirrorV ? 1 : 0))) return 0;
  info_.mirrorH = on ? 1 : 0;
  // The FPGA crops the columns the mirrored readout shifts in.
  const int offset = MirrorOffset(on != 0);
  controller_->WriteBoardRegister(fpga::kHStartLow, Byte(offset, 0));
  controller_->WriteBoardRegister(fpga::kHStartHigh, Byte(offset, 8));
  return 1;
}

// Trigger ------------------------------------------------------------------

void CSensorIMX991::ProgramTriggerTiming() {
  TriggerTiming timing;
  timing.exposureLines = static_cast<uint32_t>(info_.expLinesValue);
  timing.periodLines = timing.exposureLines + static_cast<uint32_t>(info_.windowHeight) + kTriggerPeriodExtraLines;
  uint8_t status = 0;
  const bool statusBit = ReadBoardStatus(&status) && (status & 1);
  timing.switchLogic = triggerMode_ == 0 || (!statusBit && !IsFastBoard());
  timing.policy = VerifyPolicy::kTimed;
  CSensorBase::ProgramTriggerTiming(timing);
}

int CSensorIMX991::SetTriggerMode(int mode) {
  if (!controller_) return 0;
  if (!windowChanged_.exchange(0)) {
    uint8_t current = 0x0F;
    if (controller_->ReadBoardRegister(fpga::kTriggerMode, &current) && mode == 0 && current == 0) {
      // Already free-running on this window: nothing to reprogram, no restart.
      restartPulse_.store(0);
      return 1;
    }
  }
  restartPulse_.store(1);
  const bool oldFirmware = IsOldFirmware();
  if (mode == 1) {
    ProgramTriggerTiming();
    WriteRegister(reg::kStandby, 1);
    Sleep(kTriggerStepMs);
    WriteRegister(reg::kTriggerSelect, reg::kTriggerSelectExternal);
    Sleep(kTriggerStepMs);
    WriteRegister(reg::kTriggerEnable, 1);
    Sleep(kTriggerStepMs);
    WriteRegister(reg::kStandby, 0);
    if (!oldFirmware) {
      ApplyAuxiliary();
      controller_->WriteBoardRegister(fpga::kTriggerAux, 0);
      PulseRestart();
      Sleep(static_cast<DWORD>(framePeriodMs_.load()) + kTriggerSettleExtraMs);
    }
  } else {
    WriteBoardRegisterVerified(fpga::kTriggerMode, 0, VerifyPolicy::kTimed);
    if (!oldFirmware) controller_->WriteBoardRegister(fpga::kTriggerAux, 0);
    WriteRegister(reg::kStandby, 1);
    Sleep(kTriggerStepMs);
    WriteRegister(reg::kTriggerSelect, reg::kTriggerSelectFreeRun);
    Sleep(kTriggerStepMs);
    WriteRegister(reg::kTriggerEnable, 0);
    Sleep(kTriggerStepMs);
    WriteRegister(reg::kStandby, 0);
  }
  triggerMode_ = mode;
  return 1;
}

int CSensorIMX991::GetTriggerMode(int* mode) {
  if (!mode) return 0;
  *mode = triggerMode_;
  return 1;
}

int CSensorIMX991::SetAuxiliaryValue(int value) {
  auxiliaryValue_ = value;
  return 1;
}

int CSensorIMX991::HasAuxiliary() {
  uint16_t version = 0;
  return GetFpgaVersion(&version) && version > kAuxiliaryVersionAbove;
}

// Temperature and cooler ---------------------------------------------------

uint16_t CSensorIMX991::ReadTemperatureRaw() {
  if (HasBoardTemperature()) {
    for (int attempt = 0; attempt < kBoardTemperatureAttempts; ++attempt) {
      uint8_t low = 0, high = 0;
      if (controller_->ReadBoardRegister(fpga::kSensorTemperatureLow, &low) &&
          controller_->ReadBoardRegister(fpga::kSensorTemperatureHigh, &high) && (low || high))
        return static_cast<uint16_t>(((high << 8) & 0xFFF) | low);
    }
    return 0;
  }
  // Latch the reading so that its two bytes belong together.
  int latch = 0, low = 0, high = 0;
  ReadRegisterRaw(reg::kTemperatureLatch, &latch);
  WriteRegister(reg::kTemperatureLatch, latch | 1);
  const bool read = ReadRegister(reg::kTemperature0, &low) && ReadRegister(reg::kTemperature1, &high);
  WriteRegister(reg::kTemperatureLatch, latch & ~1);
  return read ? static_cast<uint16_t>(((high << 8) & 0xFFF) | (low & 0xFF)) : 0;
}

int CSensorIMX991::GetTemperature(double* celsius) {
  if (!celsius) return 0;
  *celsius = 0.0;
  if (!controller_) return 0;
  // 12-bit two's complement in eighths of a degree.
  const int raw = ReadTemperatureRaw();
  *celsius = ((raw & 0x800) ? raw - 0x1000 : raw) / 8.0;
  return 1;
}

int CSensorIMX991::HasCooler() {
  return modelCode_ == model_.topDownCode;
}

int CSensorIMX991::GetCooler() {
  uint8_t value = 0;
  return HasCooler() && controller_ && controller_->ReadBoardRegister(fpga::kCooler, &value) && (value & 1);
}

int CSensorIMX991::SetCooler(int on) {
  if (!HasCooler() || !controller_) return 0;
  return controller_->WriteBoardRegister(fpga::kCooler, on > 0 ? 1 : 0) ? 1 : 0;
}

// Board features -----------------------------------------------------------

int CSensorIMX991::HasInternalCorrection() {
  return IsInternalCorrectionAvailable();
}

int CSensorIMX991::HasFeatureBit() {
  if (HasInternalCorrection()) return 0;
  uint8_t status = 0;
  uint16_t version = 0;
  if (!ReadBoardStatus(&status) || (status & 1)) return 0;
  return GetFpgaVersion(&version) && (version & 0xFFF) > kFeatureVersionAbove;
}

int CSensorIMX991::EnableFeatureBit() {
  if (!HasFeatureBit()) return 0;
  uint8_t value = 0;
  if (controller_->ReadBoardRegister(fpga::kFeature, &value))
    controller_->WriteBoardRegister(fpga::kFeature, value | 1);
  return 1;
}

int CSensorIMX991::SupportsGray16() {
  return !IsFastBoard();
}

// Stored values ------------------------------------------------------------

int CSensorIMX991::GetExposureLines(int* lines) {
  return Out(lines, info_.expLinesValue);
}
int CSensorIMX991::GetExposureLinesMin(int* lines) {
  return Out(lines, info_.expLinesMin);
}
int CSensorIMX991::GetExposureLinesMax(int* lines) {
  return Out(lines, info_.expLinesMax);
}
int CSensorIMX991::GetExposureLinesDefault(int* lines) {
  return Out(lines, info_.expLinesDefault);
}
int CSensorIMX991::GetGlobalGain(int* gain) {
  return Out(gain, info_.gainValue);
}
int CSensorIMX991::GetGlobalGainMin(int* gain) {
  return Out(gain, info_.gainMin);
}
int CSensorIMX991::GetGlobalGainMax(int* gain) {
  return Out(gain, info_.gainMax);
}
int CSensorIMX991::GetGlobalGainDefault(int* gain) {
  return Out(gain, info_.gainDefault);
}
int CSensorIMX991::GetColorGainMin(int* gain) {
  return Out(gain, info_.colorGains[0].min);
}
int CSensorIMX991::GetColorGainMax(int* gain) {
  return Out(gain, info_.colorGains[0].max);
}
int CSensorIMX991::GetColorGainDefault(int* gain) {
  return Out(gain, info_.colorGains[0].defaultValue);
}
int CSensorIMX991::GetExposureTime(int* units) {
  return Out(units, info_.expTimeValue);
}
int CSensorIMX991::GetExposureTimeMin(int* units) {
  return Out(units, info_.expTimeMin);
}
int CSensorIMX991::GetExposureTimeMax(int* units) {
  return Out(units, info_.expTimeMax);
}
int CSensorIMX991::GetExposureTimeDefault(int* units) {
  return Out(units, info_.expTimeDefault);
}
int CSensorIMX991::GetMirrorV(int* on) {
  return Out(on, info_.mirrorV);
}
int CSensorIMX991::GetMirrorH(int* on) {
  return Out(on, info_.mirrorH);
}
