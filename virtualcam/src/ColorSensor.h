// The colour CMOS sensor of product 0x3020 as its I2C bus sees it: 16-bit
// registers, written as [address high, address low, value high, value low]
// and read back low byte first from the address last written. Register 0
// holds the chip's identity: that of the second revision, or another one.
#pragma once

#include <cstdint>
#include <map>
#include <span>

namespace tevrin::virtualcam {

class ColorSensor {
 public:
  explicit ColorSensor(bool firstRevision);

  void I2cWrite(std::span<const uint8_t> bytes);
  void I2cRead(std::span<uint8_t> bytes) const;
  uint16_t Register(uint16_t address) const;

 private:
  std::map<uint16_t, uint16_t> registers_;
  uint16_t pointer_ = 0;
};

}  // namespace tevrin::virtualcam
