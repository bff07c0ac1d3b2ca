// The wire forms in which the family's drivers reach their sensor's
// registers over the camera's I2C bus. Reads first write the register
// address, then read from the chip.
#pragma once

#include <cstdint>

#include "usb/ControllerBase.h"

namespace sensor_bus {

inline constexpr uint32_t kTimeoutMs = 3000;

// [address high, address low, value]: 8-bit registers.
int WriteByteRegister(CControllerBase& controller, uint8_t chip, unsigned address, unsigned value);
int ReadByteRegister(CControllerBase& controller, uint8_t chip, unsigned address, int* value);
// [address high, address low, value high, value low]: 16-bit registers,
// read back as two bytes of which the first is the low byte.
int WriteWordRegister(CControllerBase& controller, uint8_t chip, unsigned address, unsigned value);
int ReadWordRegister(CControllerBase& controller, uint8_t chip, unsigned address, int* value);

}  // namespace sensor_bus
