#include "Imx991Sensor.h"

#include <algorithm>
#include <cmath>

namespace tevrin::virtualcam {

namespace reg = hardware::imx991;

namespace {
// Nanoseconds per HMAX clock: 972 clocks make the standard board's 12.96 us line.
constexpr double kNsPerLineClock = reg::kLineTimeStandardNs / reg::kHmaxStandard;
constexpr uint32_t kMinFrameLines = 16;
}  // namespace

Imx991Sensor::Imx991Sensor(bool fastBoard) {
  // Power-on state: full window, 561-line frame, 539 exposure lines, black level 60.
  constexpr uint32_t kVmax = 561;
  constexpr uint32_t kShs = 22;
  const uint16_t hmax = fastBoard ? reg::kHmaxFast : reg::kHmaxStandard;
  registers_[reg::kVmax0] = kVmax & 0xFF;
  registers_[reg::kVmax1] = kVmax >> 8;
  registers_[reg::kHmax0] = hmax & 0xFF;
  registers_[reg::kHmax1] = hmax >> 8;
  registers_[reg::kShs0] = kShs;
  registers_[reg::kWindowWidth0] = reg::kMaxWidth & 0xFF;
  registers_[reg::kWindowWidth1] = reg::kMaxWidth >> 8;
  registers_[reg::kWindowHeight0] = reg::kMaxHeight & 0xFF;
  registers_[reg::kWindowHeight1] = reg::kMaxHeight >> 8;
  registers_[reg::kTriggerSelect] = reg::kTriggerSelectFreeRun;
  registers_[reg::kBlackLevel0] = reg::kBlackLevelStandard;
  SetTemperature(35.0);
}

void Imx991Sensor::I2cWrite(std::span<const uint8_t> bytes) {
  if (bytes.size() < 2) return;
  pointer_ = static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
  for (uint8_t value : bytes.subspan(2)) Write(pointer_++, value);
}

void Imx991Sensor::I2cRead(std::span<uint8_t> bytes) {
  for (uint8_t& value : bytes) value = Read(pointer_++);
}

uint8_t Imx991Sensor::Register(uint16_t address) const {
  return Read(address);
}

void Imx991Sensor::Write(uint16_t address, uint8_t value) {
  if (address >= registers_.size()) return;
  // The temperature reading is the sensor's own; writes do not change it.
  if (address == reg::kTemperature0 || address == reg::kTemperature1) return;
  if (address == reg::kTemperatureLatch && (value & 1) && !(registers_[address] & 1)) {
    latchedTemperature_ = temperatureRaw_;
  }
  registers_[address] = value;
}

uint8_t Imx991Sensor::Read(uint16_t address) const {
  if (address >= registers_.size()) return 0;
  bool latched = registers_[reg::kTemperatureLatch] & 1;
  uint16_t temperature = latched ? latchedTemperature_ : temperatureRaw_;
  if (address == reg::kTemperature0) return temperature & 0xFF;
  if (address == reg::kTemperature1) return (temperature >> 8) & 0x0F;
  return registers_[address];
}

void Imx991Sensor::SetTemperature(double celsius) {
  // 12-bit two's complement in eighths of a degree.
  long eighths = std::lround(std::clamp(celsius, -256.0, 255.875) * 8.0);
  temperatureRaw_ = static_cast<uint16_t>(eighths & 0xFFF);
}

uint16_t Imx991Sensor::Word(uint16_t low, uint16_t high, uint16_t highMask) const {
  return static_cast<uint16_t>(registers_[low] | (registers_[high] & highMask) << 8);
}

uint32_t Imx991Sensor::FrameLengthLines() const {
  uint32_t vmax = registers_[reg::kVmax0] | registers_[reg::kVmax1] << 8 | registers_[reg::kVmax2] << 16;
  return std::max(vmax, kMinFrameLines);
}

uint32_t Imx991Sensor::ExposureLines() const {
  uint32_t shs = registers_[reg::kShs0] | (registers_[reg::kShs1] & 0x0F) << 8 | registers_[reg::kShs2] << 16;
  uint32_t vmax = FrameLengthLines();
  return shs < vmax ? vmax - shs : 1;
}

double Imx991Sensor::LineTimeNs() const {
  uint16_t hmax = std::max<uint16_t>(Word(reg::kHmax0, reg::kHmax1, 0xFF), 1);
  return hmax * kNsPerLineClock;
}

std::chrono::nanoseconds Imx991Sensor::FramePeriod() const {
  return std::chrono::nanoseconds(static_cast<int64_t>(FrameLengthLines() * LineTimeNs()));
}

int Imx991Sensor::AnalogGain() const {
  return std::min<int>(Word(reg::kGain0, reg::kGain1, 0x01), reg::kMaxGain);
}
int Imx991Sensor::BlackLevel() const {
  return Word(reg::kBlackLevel0, reg::kBlackLevel1, 0x0F);
}
bool Imx991Sensor::FlipVertical() const {
  return registers_[reg::kFlip] & 1;
}
bool Imx991Sensor::MirrorHorizontal() const {
  return registers_[reg::kFlip] & 2;
}
bool Imx991Sensor::ExternalTrigger() const {
  return registers_[reg::kTriggerEnable] & 1;
}
bool Imx991Sensor::Standby() const {
  return registers_[reg::kStandby] & 1;
}

SensorWindow Imx991Sensor::Window() const {
  SensorWindow window;
  window.x = Word(reg::kWindowX0, reg::kWindowX1, 0x07);
  window.y = Word(reg::kWindowY0, reg::kWindowY1, 0x07);
  window.step = registers_[reg::kReadoutMode] == reg::kReadoutBinning ? 2 : 1;
  return window;
}

}  // namespace tevrin::virtualcam
