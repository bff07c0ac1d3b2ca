// The camera's I2C EEPROM: a 16-bit address pointer, page writes, sequential
// reads, a write cycle during which the part does not answer, and contents
// that live as long as the camera or, when a file is named, across runs.
#pragma once

#include <tevrin/hardware/Eeprom.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>

namespace tevrin::virtualcam {

class Eeprom {
 public:
  using Clock = std::chrono::steady_clock;
  // The part's internal write cycle; the host waits longer than this.
  static constexpr auto kWriteCycle = std::chrono::milliseconds(5);

  // Loads `file` when it holds a whole image; else starts erased with the serial number.
  Eeprom(std::string file, const std::string& serialNumber);

  // I2C write: two address bytes, then data stored from that address on.
  // False (no acknowledge) while a write cycle runs or without an address.
  bool Write(std::span<const uint8_t> bytes, Clock::time_point now);
  // I2C read from the address pointer on.
  bool Read(std::span<uint8_t> bytes, Clock::time_point now);

  uint8_t At(uint16_t address) const { return bytes_[address % bytes_.size()]; }

 private:
  void Save() const;

  std::string file_;
  std::array<uint8_t, hardware::kEepromBytes> bytes_;
  uint16_t pointer_ = 0;
  Clock::time_point busyUntil_{};
};

}  // namespace tevrin::virtualcam
