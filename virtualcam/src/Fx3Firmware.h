// The FX3 controller's firmware as endpoint 0 sees it: vendor requests with
// their data stage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>

#include "CameraConfig.h"

namespace tevrin::virtualcam {

// The parts of the camera the firmware reaches.
class FirmwareTarget {
 public:
  virtual ~FirmwareTarget() = default;
  // False when nothing acknowledges at the address.
  virtual bool I2cWrite(uint8_t address, std::span<const uint8_t> bytes) = 0;
  virtual bool I2cRead(uint8_t address, std::span<uint8_t> bytes) = 0;
  virtual void ArmStream() = 0;
  virtual void RecoverStream() = 0;
  // A one-byte command; the firmware also keeps it for the read-back.
  virtual void OneByteCommand(uint8_t value) = 0;
  // The FPGA's ready line as the ready-flag request reports it: 1 ready.
  virtual uint8_t ReadyFlag() = 0;
};

class Fx3Firmware {
 public:
  Fx3Firmware(const CameraConfig& config, FirmwareTarget& target);

  static constexpr int kStall = -1;
  // Bytes of `data` taken or replied, or kStall for a request the firmware refuses.
  int Handle(uint8_t requestType, uint8_t request, uint16_t value, uint16_t index, std::span<uint8_t> data);
  uint32_t WideRegister(uint16_t address) const;

 private:

  const CameraConfig config_;
  FirmwareTarget& target_;
  uint8_t commandByte_ = 0;
  uint16_t valuePair_[2] = {0, 0};
  std::map<uint16_t, uint32_t> wideRegisters_;
};

}  // namespace tevrin::virtualcam
