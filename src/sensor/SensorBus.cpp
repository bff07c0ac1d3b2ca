#include "sensor/SensorBus.h"

namespace sensor_bus {

namespace {

uint8_t Byte(unsigned value, int shift) {
  return static_cast<uint8_t>(value >> shift);
}

// Points the chip at `address`; the read that follows starts there.
bool Point(CControllerBase& controller, uint8_t chip, unsigned address) {
  const uint8_t pointer[2] = {Byte(address, 8), Byte(address, 0)};
  return controller.I2cWrite(chip, pointer, sizeof pointer, kTimeoutMs);
}

// The chip answers reads at its address with bit 0 set.
uint8_t ReadAddress(uint8_t chip) {
  return static_cast<uint8_t>(chip | 1);
}

}  // namespace

int WriteByteRegister(CControllerBase& controller, uint8_t chip, unsigned address, unsigned value) {
  const uint8_t data[3] = {Byte(address, 8), Byte(address, 0), Byte(value, 0)};
  return controller.I2cWrite(chip, data, sizeof data, kTimeoutMs) ? 1 : 0;
}

int ReadByteRegister(CControllerBase& controller, uint8_t chip, unsigned address, int* value) {
  uint8_t byte = 0;
  if (!value || !Point(controller, chip, address) || !controller.I2cRead(ReadAddress(chip), &byte, 1, kTimeoutMs))
    return 0;
  *value = byte;
  return 1;
}

int WriteWordRegister(CControllerBase& controller, uint8_t chip, unsigned address, unsigned value) {
  const uint8_t data[4] = {Byte(address, 8), Byte(address, 0), Byte(value, 8), Byte(value, 0)};
  return controller.I2cWrite(chip, data, sizeof data, kTimeoutMs) ? 1 : 0;
}

int ReadWordRegister(CControllerBase& controller, uint8_t chip, unsigned address, int* value) {
  uint8_t bytes[2] = {};
  if (!value || !Point(controller, chip, address) ||
      !controller.I2cRead(ReadAddress(chip), bytes, sizeof bytes, kTimeoutMs))
    return 0;
  *value = bytes[0] | bytes[1] << 8;
  return 1;
}

}  // namespace sensor_bus
