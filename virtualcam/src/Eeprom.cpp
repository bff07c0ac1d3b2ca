#include "Eeprom.h"

#include <cstdio>
#include <fstream>

namespace tevrin::virtualcam {

Eeprom::Eeprom(std::string file, const std::string& serialNumber) : file_(std::move(file)) {
  bytes_.fill(hardware::kEepromErased);
  if (!file_.empty()) {
    std::ifstream in(file_, std::ios::binary);
    std::array<uint8_t, hardware::kEepromBytes> loaded;
    if (in.read(reinterpret_cast<char*>(loaded.data()), loaded.size()) &&
        in.gcount() == std::streamsize(loaded.size())) {
      bytes_ = loaded;
      return;
    }
  }
  for (size_t i = 0; i < serialNumber.size() && i < hardware::kEepromSerialNumberBytes; ++i) {
    bytes_[hardware::kEepromSerialNumber + i] = static_cast<uint8_t>(serialNumber[i]);
  }
}

bool Eeprom::Write(std::span<const uint8_t> bytes, Clock::time_point now) {
  if (now < busyUntil_ || bytes.size() < 2) return false;
  pointer_ = static_cast<uint16_t>((bytes[0] << 8 | bytes[1]) % bytes_.size());
  if (bytes.size() == 2) return true;
  for (uint8_t value : bytes.subspan(2)) {
    bytes_[pointer_] = value;
    pointer_ = static_cast<uint16_t>((pointer_ + 1) % bytes_.size());
  }
  busyUntil_ = now + kWriteCycle;
  Save();
  return true;
}

bool Eeprom::Read(std::span<uint8_t> bytes, Clock::time_point now) {
  if (now < busyUntil_) return false;
  for (uint8_t& value : bytes) {
    value = bytes_[pointer_];
    pointer_ = static_cast<uint16_t>((pointer_ + 1) % bytes_.size());
  }
  return true;
}

void Eeprom::Save() const {
  if (file_.empty()) return;
  // Written beside and renamed, so a crash never leaves half an image.
  std::string temporary = file_ + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes_.data()), bytes_.size());
    if (!out) return;
  }
  std::rename(temporary.c_str(), file_.c_str());
}

}  // namespace tevrin::virtualcam
