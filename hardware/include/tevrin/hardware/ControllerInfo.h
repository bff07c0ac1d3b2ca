// The FX3 controller's 64-byte information block (vendor request 0xB0).
#pragma once

#include <cstddef>
#include <cstdint>

namespace tevrin::hardware {

inline constexpr size_t kControllerInfoBytes = 64;
inline constexpr size_t kControllerInfoFirmwareVersion = 24;  // u16, little-endian
inline constexpr size_t kControllerInfoGpio25Flag = 52;       // byte; 1 = the FPGA ready line is wired

// Firmware above this version with the GPIO25 flag makes start-up wait for the ready flag.
inline constexpr uint16_t kFirmwareReadyWaitAbove = 0x1100;
// Firmware above this version resets the image pipe when a stream stops.
inline constexpr uint16_t kFirmwarePipeResetAbove = 0x10FF;

}  // namespace tevrin::hardware
