// The FPGA's board registers as the host sees them through the I2C port at
// 0x40/0x41: plain storage for most, live values for status, frame counter,
// versions and temperatures, and the few writes that act.
#pragma once

#include <tevrin/hardware/FpgaRegisters.h>

#include <array>
#include <cstdint>
#include <span>

#include "CameraConfig.h"

namespace tevrin::virtualcam {

// What the rest of the camera shows through the board registers at the moment of a read.
struct FpgaLiveValues {
  uint32_t frameCounter = 0;
  uint16_t sensorTemperatureRaw = 0;  // 12-bit, eighths of a degree
  bool fpgaHoldsSensorBus = false;
};

struct OutputFormat {
  int width = 0;
  int height = 0;
  int bytesPerPixel = 2;
  size_t ImageBytes() const { return size_t(width) * height * bytesPerPixel; }
};

class Fpga {
 public:
  enum class WriteEffect { kNone, kStreamRestart };

  explicit Fpga(const CameraConfig& config);

  // Port protocol: a write of [register] sets the register pointer, a write
  // of [register, high, low] stores `low`; a read returns [0, value] pairs.
  WriteEffect I2cWrite(std::span<const uint8_t> bytes);
  void I2cRead(std::span<uint8_t> bytes, const FpgaLiveValues& live) const;

  uint8_t Read(uint8_t reg, const FpgaLiveValues& live) const;
  WriteEffect Write(uint8_t reg, uint8_t value);
  // Sets a register that the host cannot write, as the board itself would.
  void Force(uint8_t reg, uint8_t value) { registers_[reg] = value; }

  void SetInputs(uint8_t lines) { inputs_ = lines; }
  void SetDieTemperature(double celsius);
  uint8_t Outputs() const { return registers_[hardware::fpga::kIoPort]; }
  bool SensorBusRequested() const { return registers_[hardware::fpga::kSensorBusRequest] & 1; }
  OutputFormat Format() const;

 private:
  std::array<uint8_t, 256> registers_{};
  uint8_t pointer_ = 0;
  uint8_t inputs_ = 0;
};

}  // namespace tevrin::virtualcam
