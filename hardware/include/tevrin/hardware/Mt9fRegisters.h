// Registers of the colour CMOS sensor of product 0x3020 (16-bit addresses,
// 16-bit values) at I2C address 0x20 (reads at 0x21).
#pragma once

#include <cstdint>

namespace tevrin::hardware::mt9f {

inline constexpr uint8_t kI2cAddress = 0x20;
inline constexpr uint16_t kChipId = 0x0000;  // the chip's identity; 0x012E on the second revision
inline constexpr uint16_t kSecondRevision = 0x012E;
inline constexpr uint16_t kResetControl = 0x301A;  // bit 1: restart streaming
inline constexpr uint16_t kRestartStreaming = 0x0002;
// Bayer channel gains: 0x1100 | gain (0..127, 64 = unity).
inline constexpr uint16_t kGainGreen1 = 0x3056;
inline constexpr uint16_t kGainBlue = 0x3058;
inline constexpr uint16_t kGainRed = 0x305A;
inline constexpr uint16_t kGainGreen2 = 0x305C;
inline constexpr uint16_t kGainBase = 0x1100;
inline constexpr uint16_t kGainMask = 0x7F;
// The board's auxiliary register that re-arms the sensor's stream, and its value.
inline constexpr uint8_t kAuxStreamArm = 40;
inline constexpr uint8_t kAuxStreamArmValue = 3;

}  // namespace tevrin::hardware::mt9f
