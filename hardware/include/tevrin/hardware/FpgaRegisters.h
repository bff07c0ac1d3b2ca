// Board (FPGA) registers behind the I2C port at 0x40/0x41. 8-bit numbers and
// values; on the wire a value is the low byte of a big-endian u16.
#pragma once

#include <cstdint>

namespace tevrin::hardware::fpga {

inline constexpr uint8_t kStatus = 0x02;  // bit 1: sensor bus busy
inline constexpr uint8_t kStatusSensorBusBusy = 0x02;
inline constexpr uint8_t kIoPort = 0x07;        // read: input lines, write: output lines
inline constexpr uint8_t kFrameCounter = 0x08;  // low 8 bits of the camera's frame counter
inline constexpr uint8_t kVersionLow = 0x10;    // FPGA version word, low byte ("FPGAVer0")
inline constexpr uint8_t kVersionHigh = 0x11;   // FPGA version word, high byte
inline constexpr uint8_t kVersionByte3 = 0x13;  // "FPGAVer3"; bit 4 tested by the readiness check
inline constexpr uint8_t kBoardStatus = 0x17;   // bit 0: board status bit read by the sensor driver
inline constexpr uint8_t kFeature = 0x18;       // bit 0: feature bit
inline constexpr uint8_t kOutputDepth = 0x3C;   // 1 = one byte per pixel, 2 = two bytes
inline constexpr uint8_t kOutputHeightLow = 0x40;
inline constexpr uint8_t kOutputHeightHigh = 0x41;
inline constexpr uint8_t kOutputWidthLow = 0x44;
inline constexpr uint8_t kOutputWidthHigh = 0x45;
inline constexpr uint8_t kFormatLow = 0x48;  // format code
inline constexpr uint8_t kFormatHigh = 0x49;
inline constexpr uint8_t kHStartLow = 0x4C;  // horizontal start offset
inline constexpr uint8_t kHStartHigh = 0x4D;
inline constexpr uint8_t kTriggerPeriod0 = 0x50;  // trigger period in lines, 24 bits (0x50..0x52)
inline constexpr uint8_t kTriggerPeriod1 = 0x51;
inline constexpr uint8_t kTriggerPeriod2 = 0x52;
inline constexpr uint8_t kTriggerTiming0 = 0x54;  // trigger timing constants
inline constexpr uint8_t kTriggerTiming1 = 0x55;
inline constexpr uint8_t kTriggerMode = 0x58;       // 0 off, 2 on
inline constexpr uint8_t kTriggerAux = 0x59;        // cleared on newer firmware
inline constexpr uint8_t kRestartPulse = 0x6C;      // 1 then 0 restarts the image stream
inline constexpr uint8_t kRecoveryPulse = 0x82;     // bit 0 pulsed while the FPGA stays not ready
inline constexpr uint8_t kTriggerExposure0 = 0x85;  // exposure lines for the trigger logic, 24 bits
inline constexpr uint8_t kTriggerExposure1 = 0x86;
inline constexpr uint8_t kDieTemperatureLow = 0x8E;
inline constexpr uint8_t kDieTemperatureHigh = 0x8F;
inline constexpr uint8_t kCooler = 0x97;  // bit 0: Peltier cooler on (cooled model)
inline constexpr uint8_t kTriggerExposure2 = 0x9B;
inline constexpr uint8_t kSensorBusRequest = 0x9F;  // 1 = host asks for the sensor bus, 0 = releases it
inline constexpr uint8_t kCorrectionLow = 0xD0;
inline constexpr uint8_t kCorrectionControl = 0xD1;  // bit 0: internal correction on
inline constexpr uint8_t kCorrectionHigh = 0xD2;
inline constexpr uint8_t kSensorTemperatureLow = 0xE5;   // sensor temperature on newer boards
inline constexpr uint8_t kSensorTemperatureHigh = 0xE6;  // bits 8..11

// FPGA version words: bit 15 = internal correction available; above 0x110
// the trigger start-up captures a frame; above 0x8023 the board reports the
// sensor temperature itself.
inline constexpr uint16_t kVersionInternalCorrection = 0x8000;
inline constexpr uint16_t kVersionOldFirmwareMax = 0x110;
inline constexpr uint16_t kVersionBoardTemperatureAbove = 0x8023;

}  // namespace tevrin::hardware::fpga
