// Map of the camera's EEPROM (I2C 0xA2/0xA3, 16-bit byte addresses).
#pragma once

#include <cstddef>
#include <cstdint>

namespace tevrin::hardware {

inline constexpr uint16_t kEepromUserAreaEnd = 0x1000;   // 0x0000..0x0FFF: user bytes (SROM IDs)
inline constexpr uint16_t kEepromSerialNumber = 0x1040;  // ASCII, ended by 0xFF
inline constexpr size_t kEepromSerialNumberBytes = 32;
inline constexpr uint16_t kEepromCorrectionLevel = 0x1080;
inline constexpr size_t kEepromBytes = 0x2000;  // the part's whole address space
inline constexpr uint8_t kEepromErased = 0xFF;

// The part is busy this long after a write and needs this long before a read.
inline constexpr unsigned kEepromWriteSettleMs = 14;
inline constexpr unsigned kEepromReadSettleMs = 10;

}  // namespace tevrin::hardware
