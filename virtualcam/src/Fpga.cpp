#include "Fpga.h"

#include <algorithm>
#include <cmath>

namespace tevrin::virtualcam {

namespace reg = hardware::fpga;

namespace {
constexpr double kDieTemperatureCelsius = 45.0;
constexpr int kMaxOutputSide = 4096;

bool IsReadOnly(uint8_t r) {
  switch (r) {
    case reg::kStatus:
    case reg::kFrameCounter:
    case reg::kVersionLow:
    case reg::kVersionHigh:
    case reg::kVersionByte3:
    case reg::kBoardStatus:
    case reg::kDieTemperatureLow:
    case reg::kDieTemperatureHigh:
    case reg::kSensorTemperatureLow:
    case reg::kSensorTemperatureHigh:
      return true;
    default:
      return false;
  }
}
}  // namespace

Fpga::Fpga(const CameraConfig& config) {
  // Bit 14 of the version word is how the sensor drivers recognise the fast board.
  const uint16_t version = config.fastBoard ? config.fpgaVersion | 0x4000 : config.fpgaVersion & ~0x4000;
  registers_[reg::kVersionLow] = version & 0xFF;
  registers_[reg::kVersionHigh] = version >> 8;
  registers_[reg::kVersionByte3] = 0x10;
  // Bit 0 of the board status tells the fast board apart.
  registers_[reg::kBoardStatus] = config.fastBoard ? 1 : 0;
  registers_[reg::kOutputDepth] = 2;
  registers_[reg::kOutputWidthLow] = 640 & 0xFF;
  registers_[reg::kOutputWidthHigh] = 640 >> 8;
  registers_[reg::kOutputHeightLow] = 512 & 0xFF;
  registers_[reg::kOutputHeightHigh] = 512 >> 8;
  SetDieTemperature(kDieTemperatureCelsius);
}

void Fpga::SetDieTemperature(double celsius) {
  // Raw die temperature: kelvin scaled by 65536 / 503.975.
  const double raw = std::clamp((celsius + 273.15) * 65536.0 / 503.975, 0.0, 65535.0);
  const auto value = static_cast<uint16_t>(std::lround(raw));
  registers_[reg::kDieTemperatureLow] = value & 0xFF;
  registers_[reg::kDieTemperatureHigh] = value >> 8;
}

Fpga::WriteEffect Fpga::I2cWrite(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return WriteEffect::kNone;
  pointer_ = bytes[0];
  // The value is the low byte of a big-endian u16.
  if (bytes.size() >= 3) return Write(pointer_, bytes[2]);
  return WriteEffect::kNone;
}

void Fpga::I2cRead(std::span<uint8_t> bytes, const FpgaLiveValues& live) const {
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = i % 2 == 0 ? 0 : Read(pointer_, live);
}

uint8_t Fpga::Read(uint8_t r, const FpgaLiveValues& live) const {
  switch (r) {
    case reg::kStatus:
      return live.fpgaHoldsSensorBus ? reg::kStatusSensorBusBusy : 0;
    case reg::kIoPort:
      return inputs_;
    case reg::kFrameCounter:
      return live.frameCounter & 0xFF;
    case reg::kSensorTemperatureLow:
      return live.sensorTemperatureRaw & 0xFF;
    case reg::kSensorTemperatureHigh:
      return (live.sensorTemperatureRaw >> 8) & 0x0F;
    default:
      return registers_[r];
  }
}

Fpga::WriteEffect Fpga::Write(uint8_t r, uint8_t value) {
  if (IsReadOnly(r)) return WriteEffect::kNone;
  uint8_t previous = registers_[r];
  registers_[r] = value;
  // The stream restarts on the falling edge of the restart pulse.
  if (r == reg::kRestartPulse && previous != 0 && value == 0) return WriteEffect::kStreamRestart;
  return WriteEffect::kNone;
}

OutputFormat Fpga::Format() const {
  OutputFormat format;
  format.width =
      std::clamp(registers_[reg::kOutputWidthLow] | registers_[reg::kOutputWidthHigh] << 8, 1, kMaxOutputSide);
  format.height =
      std::clamp(registers_[reg::kOutputHeightLow] | registers_[reg::kOutputHeightHigh] << 8, 1, kMaxOutputSide);
  format.bytesPerPixel = registers_[reg::kOutputDepth] == 1 ? 1 : 2;
  return format;
}

}  // namespace tevrin::virtualcam
