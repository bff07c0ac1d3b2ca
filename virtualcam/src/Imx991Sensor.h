// The IMX991's register file and what its registers mean for the frames:
// window and readout mode, frame length and line length (the frame period),
// shutter line (the exposure), gain, flips, trigger mode, black level and the
// latched temperature reading.
#pragma once

#include <tevrin/hardware/Imx991Registers.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <span>

namespace tevrin::virtualcam {

struct SensorWindow {
  int x = 0;     // first column read, sensor coordinates
  int y = 0;     // first row read
  int step = 1;  // 2 when 2x2 binning reads every second row and column
};

class Imx991Sensor {
 public:
  explicit Imx991Sensor(bool fastBoard);

  // I2C at 0x48/0x49: two address bytes set the pointer, further bytes are
  // written from there on; a read returns bytes from the pointer on.
  void I2cWrite(std::span<const uint8_t> bytes);
  void I2cRead(std::span<uint8_t> bytes);

  uint8_t Register(uint16_t address) const;
  void SetTemperature(double celsius);

  uint32_t FrameLengthLines() const;  // VMAX
  uint32_t ExposureLines() const;     // VMAX - SHS, at least 1
  double LineTimeNs() const;          // from HMAX
  std::chrono::nanoseconds FramePeriod() const;
  int AnalogGain() const;  // 0.1 dB steps
  int BlackLevel() const;
  bool FlipVertical() const;
  bool MirrorHorizontal() const;
  bool ExternalTrigger() const;
  // While in standby (0x200 bit 0) the sensor makes no frames, triggered or not.
  bool Standby() const;
  SensorWindow Window() const;

 private:
  void Write(uint16_t address, uint8_t value);
  uint8_t Read(uint16_t address) const;
  uint16_t Word(uint16_t low, uint16_t high, uint16_t highMask) const;

  std::array<uint8_t, hardware::imx991::kRegisterSpace> registers_{};
  uint16_t pointer_ = 0;
  uint16_t temperatureRaw_ = 0;
  uint16_t latchedTemperature_ = 0;
};

}  // namespace tevrin::virtualcam
