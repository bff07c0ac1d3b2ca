#include "ColorSensor.h"

#include <tevrin/hardware/Mt9fRegisters.h>

namespace tevrin::virtualcam {

namespace mt9f = tevrin::hardware::mt9f;

namespace {
constexpr uint16_t kFirstRevision = 0x2E01;
}  // namespace

ColorSensor::ColorSensor(bool firstRevision) {
  registers_[mt9f::kChipId] = firstRevision ? kFirstRevision : mt9f::kSecondRevision;
}

void ColorSensor::I2cWrite(std::span<const uint8_t> bytes) {
  if (bytes.size() < 2) return;
  pointer_ = static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
  if (bytes.size() >= 4 && pointer_ != mt9f::kChipId)
    registers_[pointer_] = static_cast<uint16_t>(bytes[2] << 8 | bytes[3]);
}

void ColorSensor::I2cRead(std::span<uint8_t> bytes) const {
  const uint16_t value = Register(pointer_);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i % 2 == 0 ? value : value >> 8);
}

uint16_t ColorSensor::Register(uint16_t address) const {
  auto found = registers_.find(address);
  return found == registers_.end() ? 0 : found->second;
}

}  // namespace tevrin::virtualcam
