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

// Registers of other products' FPGAs, which the device layer reaches through
// its product table. The same number can mean something else on another board.
inline constexpr uint8_t kTriggerEnable =
    0x24;                                      // 0x3030, 0x3050: 1 = external trigger; 0x3150, 0x3170: the mode & 0x83
inline constexpr uint8_t kTriggerGate = 0x30;  // 0x30F0, 0x3100: 1 = frames wait for the trigger input
inline constexpr uint8_t kEightBitOutput = 0x38;    // 0x3320: 1 = one byte per pixel, 0 = two
inline constexpr uint8_t kSetupHold = 0x38;         // 0x3140: 0 holds the board while 0x3E is set, 1 releases it
inline constexpr uint8_t kPlaneMode = 0x3D;         // 0x3130: output mode 0..2 of the video converter
inline constexpr uint8_t kSetupMode = 0x3E;         // 0x3140: 3 at start-up
inline constexpr uint8_t kConverterStream = 0x68;   // 0x3130: 2 stops the video converter's stream
inline constexpr uint8_t kSampleDepth = 0x6E;       // 0x3310: 2 = two bytes per pixel, 0 = one
inline constexpr uint8_t kReadyNudge = 0x81;        // 0x31E0: written 1 while the FPGA stays not ready
inline constexpr uint8_t kCorrectionSwitch = 0x90;  // 0x3150, 0x3170, 0x3220: internal correction
inline constexpr uint8_t kCorrectionSwitchOn = 15;  // value of kCorrectionSwitch with the correction on
inline constexpr uint8_t kCorrectionSwitchOff = 8;  // and off
inline constexpr uint8_t kAltHeightLow = 0x9A;      // 0x31E0: output height, low byte
inline constexpr uint8_t kAltHeightHigh = 0x9B;     // 0x31E0: output height, high byte
inline constexpr uint8_t kAltWidthLow = 0x9C;       // 0x31E0: output width, low byte
inline constexpr uint8_t kAltWidthHigh = 0x9D;      // 0x31E0: output width, high byte
inline constexpr uint8_t kDepthSelect = 0xA3;       // 0x31E0, 0x32D0: 2 = two bytes per pixel, 1 = one
// 0x3090, 0x30B0, 0x30C0 (four-output CCDs): offset and gain of output k
// (1..4) as 16-bit values, low byte at base + 2(k - 1), high byte after it;
// the black level in 0xA2 (low byte) and 0xA3 (bits 8..9).
inline constexpr uint8_t kChannelOffset0 = 0x70;
inline constexpr uint8_t kChannelGain0 = 0x78;
inline constexpr uint8_t kCcdBlackLow = 0xA2;
inline constexpr uint8_t kCcdBlackHigh = 0xA3;
inline constexpr uint8_t kSensorStartedState = 0x21;  // 0x32C0, 0x33B0: 3 once the sensor runs
inline constexpr uint8_t kStatusCounter = 0xBA;       // 0x32D0: counts the status blocks
inline constexpr uint8_t kSensorReadyCode = 0xFF;     // 0x3180: 4 once the sensor is ready
// 0x3090, 0x30B0, 0x30C0 keep driving their outputs after the host leaves:
// the enable goes first, then these one by one.
inline constexpr uint8_t kDriveEnable = 0x25;
inline constexpr uint8_t kDriveRegisters[] = {0x24, 0x1F, 0x23, 0x22, 0x20, 0x21, 0xE0};

// FPGA version words: bit 15 = internal correction available; above 0x110
// the trigger start-up captures a frame; above 0x8023 the board reports the
// sensor temperature itself.
inline constexpr uint16_t kVersionInternalCorrection = 0x8000;
inline constexpr uint16_t kVersionOldFirmwareMax = 0x110;
inline constexpr uint16_t kVersionBoardTemperatureAbove = 0x8023;

}  // namespace tevrin::hardware::fpga
